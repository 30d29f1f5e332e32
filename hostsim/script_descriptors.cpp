#include "hostsim/script_descriptors.h"

#include "hostsim/descriptor_text.h"
#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/unserved.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace hostsim {

namespace {

// Keys the host reads from a key array before it decides the array has no end.
constexpr std::size_t kMaxExpectedKeys = 4096;

}  // namespace

Handle DescriptorToHandle(HandleStore& store, const Descriptor& descriptor) {
    const std::string text = FormatDescriptor(descriptor);
    return store.NewFrom(std::vector<uint8>(text.begin(), text.end()));
}

std::optional<Descriptor> DescriptorFromHandle(const HandleStore& store, Handle h) {
    if (!store.Owns(h)) return std::nullopt;
    const std::vector<uint8> bytes = store.Bytes(h);
    try {
        return ParseDescriptor(std::string(bytes.begin(), bytes.end()), "descriptor handle");
    } catch (const HostError&) {
        return std::nullopt;
    }
}

// The procs of the record. Each finds its session, counts the call, honours failure
// injection, and refuses tokens, handles and pointers it does not know with a report.
struct ScriptDescriptorProcs {
    static ScriptDescriptors* Self(HostSession* s) { return s ? &s->scriptDescriptors() : nullptr; }

    // The read token's current value, or null with `err` set (and the error remembered for close).
    static const DescriptorValue* Current(HostSession& s, PIReadDescriptor token, const char* proc, OSErr& err) {
        ScriptDescriptors::ReadToken* t = s.scriptDescriptors().FindRead(token);
        if (!t) {
            s.ReportMisuse(std::string(proc) + ": not an open read token");
            err = paramErr;
            return nullptr;
        }
        if (!t->current) {
            s.ReportMisuse(std::string(proc) + ": called before getKeyProc returned a key");
            err = t->firstError = t->firstError ? t->firstError : OSErr(kErrKeyNotFound);
            return nullptr;
        }
        return &t->descriptor.items()[*t->current].second;
    }

    static OSErr Remember(HostSession& s, PIReadDescriptor token, OSErr err) {
        if (err != noErr) {
            if (ScriptDescriptors::ReadToken* t = s.scriptDescriptors().FindRead(token)) {
                if (t->firstError == noErr) t->firstError = err;
            }
        }
        return err;
    }

    // Runs `read` on the current value; failure injection and bad tokens answered first.
    template <class Read>
    static OSErr Get(PIReadDescriptor token, HostCallback callback, const char* proc, const void* out, Read read) {
        HostSession* s = HostSession::Current();
        if (!s) return paramErr;
        if (s->callbacks().Enter(callback)) return Remember(*s, token, s->callbacks().FailureCode(callback));
        if (!out) {
            s->ReportMisuse(std::string(proc) + ": null result pointer");
            return Remember(*s, token, paramErr);
        }
        OSErr err = noErr;
        const DescriptorValue* v = Current(*s, token, proc, err);
        if (!v) return err;
        try {
            return Remember(*s, token, read(*s, *v));
        } catch (const std::bad_alloc&) {
            return Remember(*s, token, memFullErr);
        }
    }

    static PIReadDescriptor OpenRead(PIDescriptorHandle descriptor, DescriptorKeyIDArray keyArray) {
        HostSession* s = HostSession::Current();
        if (!s || s->callbacks().Enter(HostCallback::OpenReadDescriptor)) return nullptr;
        if (!descriptor) return nullptr;
        try {
            std::optional<Descriptor> d = DescriptorFromHandle(s->handles(), descriptor);
            if (!d) {
                s->ReportMisuse(s->handles().Owns(descriptor) ? "openReadDescriptorProc: the handle holds no descriptor"
                                                              : "openReadDescriptorProc: not a descriptor handle of this host");
                return nullptr;
            }
            ScriptDescriptors& self = s->scriptDescriptors();
            self.expectedKeys_.clear();
            if (keyArray) {
                std::size_t i = 0;
                for (; i < kMaxExpectedKeys && keyArray[i] != 0; ++i) self.expectedKeys_.push_back(keyArray[i]);
                if (i == kMaxExpectedKeys) s->ReportMisuse("openReadDescriptorProc: the key array has no terminating 0");
            }
            ScriptDescriptors::ReadToken token;
            token.descriptor = std::move(*d);
            token.keysNotRead = self.expectedKeys_;
            return self.NewReadToken(std::move(token));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    static OSErr CloseRead(PIReadDescriptor token) {
        HostSession* s = HostSession::Current();
        if (!s) return paramErr;
        ScriptDescriptors& self = s->scriptDescriptors();
        ScriptDescriptors::ReadToken* t = self.FindRead(token);
        const bool failing = s->callbacks().Enter(HostCallback::CloseReadDescriptor);
        if (!t) {
            s->ReportMisuse("closeReadDescriptorProc: not an open read token");
            return paramErr;
        }
        // Closing always releases the token; the result is the first error met while reading,
        // else whether a key the plug-in expected never came.
        OSErr err = failing ? s->callbacks().FailureCode(HostCallback::CloseReadDescriptor) : t->firstError;
        if (err == noErr && !t->keysNotRead.empty()) err = errMissingParameter;
        self.readTokens_.erase(reinterpret_cast<std::uintptr_t>(token));
        return err;
    }

    static Boolean GetKey(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags) {
        HostSession* s = HostSession::Current();
        if (!s) return false;
        if (s->callbacks().Enter(HostCallback::GetKey)) {
            // A read that breaks off is not the end of the descriptor: close reports it.
            Remember(*s, token, s->callbacks().FailureCode(HostCallback::GetKey));
            return false;
        }
        ScriptDescriptors::ReadToken* t = s->scriptDescriptors().FindRead(token);
        if (!t) {
            s->ReportMisuse("getKeyProc: not an open read token");
            return false;
        }
        if (!key || !type) {
            s->ReportMisuse("getKeyProc: null key or type pointer");
            return false;
        }
        if (t->next >= t->descriptor.Count()) {
            t->current.reset();
            return false;
        }
        t->current = t->next++;
        const auto& item = t->descriptor.items()[*t->current];
        std::vector<DescriptorKeyID>& waiting = t->keysNotRead;
        waiting.erase(std::remove(waiting.begin(), waiting.end(), item.first), waiting.end());
        *key = item.first;
        *type = item.second.type;
        if (flags) *flags = 0;
        return true;
    }

    static OSErr GetInteger(PIReadDescriptor token, int32* data) {
        return Get(token, HostCallback::GetInteger, "getIntegerProc", data, [&](HostSession&, const DescriptorValue& v) {
            return ReadAsInteger(v, *data) ? OSErr(noErr) : kErrWrongType;
        });
    }

    static OSErr GetFloat(PIReadDescriptor token, double* data) {
        return Get(token, HostCallback::GetFloat, "getFloatProc", data, [&](HostSession&, const DescriptorValue& v) {
            return ReadAsFloat(v, *data) ? OSErr(noErr) : kErrWrongType;
        });
    }

    static OSErr GetUnitFloat(PIReadDescriptor token, DescriptorUnitID* unit, double* data) {
        return Get(token, HostCallback::GetUnitFloat, "getUnitFloatProc", data, [&](HostSession& s, const DescriptorValue& v) {
            DescriptorUnitID u = 0;
            if (!ReadAsUnitFloat(v, u, *data)) return kErrWrongType;
            if (unit) *unit = u;
            else s.ReportMisuse("getUnitFloatProc: null unit pointer");
            return OSErr(noErr);
        });
    }

    static OSErr GetBoolean(PIReadDescriptor token, Boolean* data) {
        return Get(token, HostCallback::GetBoolean, "getBooleanProc", data, [&](HostSession&, const DescriptorValue& v) {
            if (v.type != typeBoolean) return kErrWrongType;
            *data = v.boolean ? 1 : 0;
            return OSErr(noErr);
        });
    }

    static OSErr GetText(PIReadDescriptor token, Handle* data) {
        return Get(token, HostCallback::GetText, "getTextProc", data, [&](HostSession& s, const DescriptorValue& v) {
            if (v.type != typeChar) return kErrWrongType;
            // The plug-in owns the handle and disposes it through the handle procs.
            const Handle h = s.handles().NewFrom(std::vector<uint8>(v.text.begin(), v.text.end()));
            if (!h) return OSErr(memFullErr);
            *data = h;
            return OSErr(noErr);
        });
    }

    static OSErr GetEnumerated(PIReadDescriptor token, DescriptorEnumID* data) {
        return Get(token, HostCallback::GetEnumerated, "getEnumeratedProc", data, [&](HostSession&, const DescriptorValue& v) {
            if (v.type != typeEnumerated) return kErrWrongType;
            *data = v.enumValue;
            return OSErr(noErr);
        });
    }

    static OSErr GetObject(PIReadDescriptor token, DescriptorClassID* type, PIDescriptorHandle* data) {
        return Get(token, HostCallback::GetObject, "getObjectProc", data, [&](HostSession& s, const DescriptorValue& v) {
            if (v.type != typeObject && v.type != typeGlobalObject) return kErrWrongType;
            const Handle h = DescriptorToHandle(s.handles(), v.AsObject());
            if (!h) return OSErr(memFullErr);
            if (type) *type = v.classId;
            *data = h;
            return OSErr(noErr);
        });
    }

    // ---- writing ----

    template <class Write>
    static OSErr Put(PIWriteDescriptor token, HostCallback callback, const char* proc, Write write) {
        HostSession* s = HostSession::Current();
        if (!s) return paramErr;
        ScriptDescriptors::WriteToken* t = s->scriptDescriptors().FindWrite(token);
        if (s->callbacks().Enter(callback)) {
            const OSErr err = s->callbacks().FailureCode(callback);
            if (t && t->firstError == noErr) t->firstError = err;
            return err;
        }
        if (!t) {
            s->ReportMisuse(std::string(proc) + ": not an open write token");
            return paramErr;
        }
        OSErr err = noErr;
        try {
            err = write(*s, t->descriptor);
        } catch (const std::bad_alloc&) {
            err = memFullErr;
        }
        if (err != noErr && t->firstError == noErr) t->firstError = err;
        return err;
    }

    static PIWriteDescriptor OpenWrite() {
        HostSession* s = HostSession::Current();
        if (!s || s->callbacks().Enter(HostCallback::OpenWriteDescriptor)) return nullptr;
        try {
            return s->scriptDescriptors().NewWriteToken();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    static OSErr CloseWrite(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor) {
        HostSession* s = HostSession::Current();
        if (!s) return paramErr;
        ScriptDescriptors& self = s->scriptDescriptors();
        ScriptDescriptors::WriteToken* t = self.FindWrite(token);
        const bool failing = s->callbacks().Enter(HostCallback::CloseWriteDescriptor);
        if (newDescriptor) *newDescriptor = nullptr;
        if (!t) {
            s->ReportMisuse("closeWriteDescriptorProc: not an open write token");
            return paramErr;
        }
        OSErr err = t->firstError;
        if (failing) {
            err = s->callbacks().FailureCode(HostCallback::CloseWriteDescriptor);
        } else if (!newDescriptor) {
            s->ReportMisuse("closeWriteDescriptorProc: null result pointer");
            err = paramErr;
        } else {
            try {
                *newDescriptor = DescriptorToHandle(s->handles(), t->descriptor);
            } catch (const std::bad_alloc&) {
            }
            if (!*newDescriptor) err = memFullErr;
        }
        self.writeTokens_.erase(reinterpret_cast<std::uintptr_t>(token));
        return err;
    }

    static OSErr PutInteger(PIWriteDescriptor token, DescriptorKeyID key, int32 data) {
        return Put(token, HostCallback::PutInteger, "putIntegerProc", [&](HostSession&, Descriptor& d) {
            d.Put(key, DescriptorValue::Integer(data));
            return OSErr(noErr);
        });
    }

    static OSErr PutFloat(PIWriteDescriptor token, DescriptorKeyID key, const double* data) {
        return Put(token, HostCallback::PutFloat, "putFloatProc", [&](HostSession& s, Descriptor& d) {
            if (!data) {
                s.ReportMisuse("putFloatProc: null value pointer");
                return OSErr(paramErr);
            }
            d.Put(key, DescriptorValue::Float(*data));
            return OSErr(noErr);
        });
    }

    static OSErr PutUnitFloat(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit, const double* data) {
        return Put(token, HostCallback::PutUnitFloat, "putUnitFloatProc", [&](HostSession& s, Descriptor& d) {
            if (!data) {
                s.ReportMisuse("putUnitFloatProc: null value pointer");
                return OSErr(paramErr);
            }
            d.Put(key, DescriptorValue::UnitFloat(unit, *data));
            return OSErr(noErr);
        });
    }

    static OSErr PutBoolean(PIWriteDescriptor token, DescriptorKeyID key, Boolean data) {
        return Put(token, HostCallback::PutBoolean, "putBooleanProc", [&](HostSession&, Descriptor& d) {
            d.Put(key, DescriptorValue::Boolean(data != 0));
            return OSErr(noErr);
        });
    }

    // The host takes the text and object handles over: it reads and disposes them.
    static OSErr PutText(PIWriteDescriptor token, DescriptorKeyID key, Handle textHandle) {
        return Put(token, HostCallback::PutText, "putTextProc", [&](HostSession& s, Descriptor& d) {
            if (!s.handles().Owns(textHandle)) {
                s.ReportMisuse(s.handles().WasDisposed(textHandle)
                                   ? "putTextProc: the text handle was already disposed"
                                   : "putTextProc: the text handle is not a handle of this host");
                return OSErr(nilHandleErr);
            }
            const std::vector<uint8> bytes = s.handles().Bytes(textHandle);
            d.Put(key, DescriptorValue::Text(std::string(bytes.begin(), bytes.end())));
            s.handles().Dispose(textHandle);
            return OSErr(noErr);
        });
    }

    static OSErr PutEnumerated(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type, DescriptorEnumID value) {
        return Put(token, HostCallback::PutEnumerated, "putEnumeratedProc", [&](HostSession&, Descriptor& d) {
            d.Put(key, DescriptorValue::Enumerated(type, value));
            return OSErr(noErr);
        });
    }

    static OSErr PutObject(PIWriteDescriptor token, DescriptorKeyID key, DescriptorClassID type, PIDescriptorHandle handle) {
        return Put(token, HostCallback::PutObject, "putObjectProc", [&](HostSession& s, Descriptor& d) {
            std::optional<Descriptor> object = DescriptorFromHandle(s.handles(), handle);
            if (!object) {
                s.ReportMisuse(s.handles().Owns(handle) ? "putObjectProc: the handle holds no descriptor"
                                                        : "putObjectProc: not a descriptor handle of this host");
                return OSErr(nilHandleErr);
            }
            d.Put(key, DescriptorValue::Object(type, std::move(*object)));
            s.handles().Dispose(handle);
            return OSErr(noErr);
        });
    }
};

ScriptDescriptors::ScriptDescriptors() {
    record_.descriptorParametersVersion = 0;
    record_.playInfo = plugInDialogDisplay;
    record_.recordInfo = plugInDialogOptional;
}

template <class Proc>
static Proc OfferProc(const CallbackTable& callbacks, HostCallback callback, Proc proc) {
    return callbacks.Present(callback) ? proc : nullptr;
}

void ScriptDescriptors::Apply(bool readProcs, bool writeProcs, const CallbackTable& c) {
    using P = ScriptDescriptorProcs;
    readProcs_.readDescriptorProcsVersion = kCurrentReadDescriptorProcsVersion;
    readProcs_.numReadDescriptorProcs = kCurrentReadDescriptorProcsCount;
    readProcs_.openReadDescriptorProc = OfferProc(c, HostCallback::OpenReadDescriptor, &P::OpenRead);
    readProcs_.closeReadDescriptorProc = OfferProc(c, HostCallback::CloseReadDescriptor, &P::CloseRead);
    readProcs_.getKeyProc = OfferProc(c, HostCallback::GetKey, &P::GetKey);
    readProcs_.getIntegerProc = OfferProc(c, HostCallback::GetInteger, &P::GetInteger);
    readProcs_.getFloatProc = OfferProc(c, HostCallback::GetFloat, &P::GetFloat);
    readProcs_.getUnitFloatProc = OfferProc(c, HostCallback::GetUnitFloat, &P::GetUnitFloat);
    readProcs_.getBooleanProc = OfferProc(c, HostCallback::GetBoolean, &P::GetBoolean);
    readProcs_.getTextProc = OfferProc(c, HostCallback::GetText, &P::GetText);
    readProcs_.getEnumeratedProc = OfferProc(c, HostCallback::GetEnumerated, &P::GetEnumerated);
    readProcs_.getObjectProc = OfferProc(c, HostCallback::GetObject, &P::GetObject);
    // Aliases, classes, references, counts, Pascal strings and pinned values are not served.
    readProcs_.getAliasProc = NotServed<GetAliasProc>();
    readProcs_.getClassProc = NotServed<GetClassProc>();
    readProcs_.getSimpleReferenceProc = NotServed<GetSimpleReferenceProc>();
    readProcs_.getCountProc = NotServed<GetCountProc>();
    readProcs_.getStringProc = NotServed<GetStringProc>();
    readProcs_.getPinnedIntegerProc = NotServed<GetPinnedIntegerProc>();
    readProcs_.getPinnedFloatProc = NotServed<GetPinnedFloatProc>();
    readProcs_.getPinnedUnitFloatProc = NotServed<GetPinnedUnitFloatProc>();

    writeProcs_.writeDescriptorProcsVersion = kCurrentWriteDescriptorProcsVersion;
    writeProcs_.numWriteDescriptorProcs = kCurrentWriteDescriptorProcsCount;
    writeProcs_.openWriteDescriptorProc = OfferProc(c, HostCallback::OpenWriteDescriptor, &P::OpenWrite);
    writeProcs_.closeWriteDescriptorProc = OfferProc(c, HostCallback::CloseWriteDescriptor, &P::CloseWrite);
    writeProcs_.putIntegerProc = OfferProc(c, HostCallback::PutInteger, &P::PutInteger);
    writeProcs_.putFloatProc = OfferProc(c, HostCallback::PutFloat, &P::PutFloat);
    writeProcs_.putUnitFloatProc = OfferProc(c, HostCallback::PutUnitFloat, &P::PutUnitFloat);
    writeProcs_.putBooleanProc = OfferProc(c, HostCallback::PutBoolean, &P::PutBoolean);
    writeProcs_.putTextProc = OfferProc(c, HostCallback::PutText, &P::PutText);
    writeProcs_.putEnumeratedProc = OfferProc(c, HostCallback::PutEnumerated, &P::PutEnumerated);
    writeProcs_.putObjectProc = OfferProc(c, HostCallback::PutObject, &P::PutObject);
    writeProcs_.putAliasProc = NotServed<PutAliasProc>();
    writeProcs_.putClassProc = NotServed<PutClassProc>();
    writeProcs_.putSimpleReferenceProc = NotServed<PutSimpleReferenceProc>();
    writeProcs_.putCountProc = NotServed<PutCountProc>();
    writeProcs_.putStringProc = NotServed<PutStringProc>();
    writeProcs_.putScopedClassProc = NotServed<PutScopedClassProc>();
    writeProcs_.putScopedObjectProc = NotServed<PutScopedObjectProc>();

    record_.readDescriptorProcs = readProcs ? &readProcs_ : nullptr;
    record_.writeDescriptorProcs = writeProcs ? &writeProcs_ : nullptr;
}

bool ScriptDescriptors::Offer(HandleStore& store, const Descriptor& descriptor, int32 playInfo) {
    Reset(store);
    record_.descriptor = DescriptorToHandle(store, descriptor);
    record_.playInfo = playInfo;
    return record_.descriptor != nullptr;
}

std::optional<Descriptor> ScriptDescriptors::Take(HandleStore& store, std::string* problem) {
    const Handle h = record_.descriptor;
    record_.descriptor = nullptr;
    if (!h) return std::nullopt;
    std::optional<Descriptor> d = DescriptorFromHandle(store, h);
    if (!d && problem) {
        *problem = store.Owns(h) ? "the descriptor handle the plug-in returned holds no descriptor"
                                 : "the plug-in returned a descriptor handle that is not one of the host's";
    }
    store.Dispose(h);
    return d;
}

void ScriptDescriptors::Reset(HandleStore& store) {
    if (record_.descriptor) store.Dispose(record_.descriptor);
    record_.descriptor = nullptr;
    record_.playInfo = plugInDialogDisplay;
    record_.recordInfo = plugInDialogOptional;
}

void ScriptDescriptors::Clear() {
    readTokens_.clear();
    writeTokens_.clear();
    record_.descriptor = nullptr;
}

PIReadDescriptor ScriptDescriptors::NewReadToken(ReadToken token) {
    const std::uintptr_t id = nextToken_;
    nextToken_ += 0x10;
    readTokens_.emplace(id, std::move(token));
    return reinterpret_cast<PIReadDescriptor>(id);
}

PIWriteDescriptor ScriptDescriptors::NewWriteToken() {
    const std::uintptr_t id = nextToken_;
    nextToken_ += 0x10;
    writeTokens_.emplace(id, WriteToken{});
    return reinterpret_cast<PIWriteDescriptor>(id);
}

ScriptDescriptors::ReadToken* ScriptDescriptors::FindRead(PIReadDescriptor token) {
    const auto it = readTokens_.find(reinterpret_cast<std::uintptr_t>(token));
    return it == readTokens_.end() ? nullptr : &it->second;
}

ScriptDescriptors::WriteToken* ScriptDescriptors::FindWrite(PIWriteDescriptor token) {
    const auto it = writeTokens_.find(reinterpret_cast<std::uintptr_t>(token));
    return it == writeTokens_.end() ? nullptr : &it->second;
}

}  // namespace hostsim
