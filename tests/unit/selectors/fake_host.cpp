#include "fake_host.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace fake {

Host* Host::current = nullptr;

// ---- values and descriptors ----

Value Value::Integer(int32 v) {
    Value x;
    x.type = typeInteger;
    x.integer = v;
    return x;
}
Value Value::Float(double v) {
    Value x;
    x.type = typeFloat;
    x.number = v;
    return x;
}
Value Value::UnitFloat(uint32 unit, double v) {
    Value x;
    x.type = typeUnitFloat;
    x.unit = unit;
    x.number = v;
    return x;
}
Value Value::Boolean(bool v) {
    Value x;
    x.type = typeBoolean;
    x.boolean = v;
    return x;
}
Value Value::Text(const std::string& v) {
    Value x;
    x.type = typeChar;
    x.text = v;
    return x;
}
Value Value::Enumerated(uint32 type, uint32 v) {
    Value x;
    x.type = typeEnumerated;
    x.enumType = type;
    x.enumValue = v;
    return x;
}
Value Value::Object(uint32 cls, const Descriptor& d) {
    Value x;
    x.type = typeObject;
    x.objectClass = cls;
    x.object = std::make_shared<Descriptor>(d);
    return x;
}

const Value* Descriptor::Find(uint32 key) const {
    for (const auto& [k, v] : entries)
        if (k == key) return &v;
    return nullptr;
}

void Descriptor::Set(uint32 key, const Value& v) {
    for (auto& [k, old] : entries)
        if (k == key) {
            old = v;
            return;
        }
    entries.emplace_back(key, v);
}

namespace {

template <class T>
void Put(std::string& out, const T& v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <class T>
bool Take(const std::string& in, std::size_t& pos, T& v) {
    if (in.size() - pos < sizeof v) return false;
    std::memcpy(&v, in.data() + pos, sizeof v);
    pos += sizeof v;
    return true;
}

bool TakeBytes(const std::string& in, std::size_t& pos, std::string& v) {
    uint32 n = 0;
    if (!Take(in, pos, n) || in.size() - pos < n) return false;
    v.assign(in, pos, n);
    pos += n;
    return true;
}

}  // namespace

std::string Descriptor::Serialize() const {
    std::string out;
    Put(out, uint32(entries.size()));
    for (const auto& [key, v] : entries) {
        Put(out, key);
        Put(out, v.type);
        switch (v.type) {
            case typeInteger: Put(out, v.integer); break;
            case typeFloat: Put(out, v.number); break;
            case typeUnitFloat:
                Put(out, v.unit);
                Put(out, v.number);
                break;
            case typeBoolean: Put(out, uint8(v.boolean)); break;
            case typeChar:
                Put(out, uint32(v.text.size()));
                out += v.text;
                break;
            case typeEnumerated:
                Put(out, v.enumType);
                Put(out, v.enumValue);
                break;
            case typeObject: {
                const std::string inner = v.object ? v.object->Serialize() : Descriptor{}.Serialize();
                Put(out, v.objectClass);
                Put(out, uint32(inner.size()));
                out += inner;
                break;
            }
            default: throw std::logic_error("fake descriptor: unknown type");
        }
    }
    return out;
}

Descriptor Descriptor::Parse(const std::string& in) {
    Descriptor d;
    std::size_t pos = 0;
    uint32 count = 0;
    if (!Take(in, pos, count)) return d;
    for (uint32 i = 0; i < count; ++i) {
        uint32 key = 0;
        Value v;
        if (!Take(in, pos, key) || !Take(in, pos, v.type)) return d;
        bool ok = true;
        switch (v.type) {
            case typeInteger: ok = Take(in, pos, v.integer); break;
            case typeFloat: ok = Take(in, pos, v.number); break;
            case typeUnitFloat: ok = Take(in, pos, v.unit) && Take(in, pos, v.number); break;
            case typeBoolean: {
                uint8 b = 0;
                ok = Take(in, pos, b);
                v.boolean = b != 0;
                break;
            }
            case typeChar: ok = TakeBytes(in, pos, v.text); break;
            case typeEnumerated: ok = Take(in, pos, v.enumType) && Take(in, pos, v.enumValue); break;
            case typeObject: {
                std::string inner;
                ok = Take(in, pos, v.objectClass) && TakeBytes(in, pos, inner);
                v.object = std::make_shared<Descriptor>(Parse(inner));
                break;
            }
            default: ok = false;
        }
        if (!ok) return d;
        d.entries.emplace_back(key, v);
    }
    return d;
}

const char* SiteName(Site site) {
    static const char* const names[] = {
        "NewHandle",  "SetHandleSize", "GetHandleSize", "LockHandle",   "OpenRead",       "CloseRead",
        "GetInteger", "GetFloat",      "GetUnitFloat",  "GetBoolean",   "GetText",        "GetEnumerated",
        "GetObject",  "OpenWrite",     "CloseWrite",    "PutInteger",   "PutFloat",       "PutUnitFloat",
        "PutBoolean", "PutText",       "PutEnumerated", "PutObject",    "AcquireDescriptor", "AcquireReference",
        "AcquireControl", "AcquireRegistry", "DescriptorMake", "DescriptorPut", "DescriptorGet", "DescriptorGetObject", "ReferenceMake",
        "ReferencePut", "ControlGet", "RegistryRegister", "RegistryGet", "AdvanceState"};
    return names[int(site)];
}

bool Host::Fails(Site site) {
    called.insert(site);
    return hasFault && fault == site;
}

Host::Block* Host::FindBlock(Handle h) const {
    auto* b = reinterpret_cast<Block*>(h);
    return handles_.count(b) ? b : nullptr;
}

namespace {

constexpr OSErr kFailure = kFailureCode;
constexpr OSErr kNoError = 0;
Host& H() { return *Host::current; }

// ---- handle procedures ----

// The host's own allocation; only the plug-in's requests can be made to fail.
Handle Allocate(int32 size) {
    if (size < 0) return nullptr;
    // Exactly the size asked for, so the sanitizer sees any read past the end.
    auto* b = new Host::Block{static_cast<char*>(std::malloc(size ? std::size_t(size) : 1)), size, 0};
    if (size) std::memset(b->data, 0xA5, std::size_t(size));
    H().handles_.insert(b);
    return reinterpret_cast<Handle>(b);
}

Handle NewHandleProc(int32 size) { return H().Fails(Site::NewHandle) ? nullptr : Allocate(size); }

void DisposeHandleProc(Handle h) {
    Host::Block* b = H().FindBlock(h);
    if (!b) {
        ++H().badHandleCalls_;
        return;
    }
    H().handles_.erase(b);
    std::free(b->data);
    delete b;
}

int32 GetHandleSizeProc(Handle h) {
    Host::Block* b = H().FindBlock(h);
    if (!b) {
        ++H().badHandleCalls_;
        return 0;
    }
    if (H().Fails(Site::GetHandleSize)) return -1;
    return b->size;
}

OSErr SetHandleSizeProc(Handle h, int32 size) {
    Host::Block* b = H().FindBlock(h);
    if (!b) {
        ++H().badHandleCalls_;
        return nilHandleErr;
    }
    if (H().Fails(Site::SetHandleSize) || size < 0) return memFullErr;
    char* fresh = static_cast<char*>(std::malloc(size ? std::size_t(size) : 1));
    std::memset(fresh, 0xA5, size ? std::size_t(size) : 1);
    std::memcpy(fresh, b->data, std::size_t(std::min(size, b->size)));
    std::free(b->data);
    b->data = fresh;
    b->size = size;
    return noErr;
}

Ptr LockHandleProc(Handle h, Boolean) {
    Host::Block* b = H().FindBlock(h);
    if (!b) {
        ++H().badHandleCalls_;
        return nullptr;
    }
    if (H().Fails(Site::LockHandle)) return nullptr;
    ++b->locks;
    return b->data;
}

void UnlockHandleProc(Handle h) {
    Host::Block* b = H().FindBlock(h);
    if (!b) {
        ++H().badHandleCalls_;
        return;
    }
    if (b->locks > 0) --b->locks;
}

// ---- scripting descriptor: reading ----

struct ReadToken {
    Descriptor d;
    std::size_t next = 0;
    const Value* current = nullptr;
};

PIReadDescriptor OpenRead(PIDescriptorHandle h, DescriptorKeyIDArray) {
    if (H().Fails(Site::OpenRead) || !H().FindBlock(h)) return nullptr;
    ++H().liveTokens;
    auto* t = new ReadToken{H().ReadDescriptorHandle(h)};
    return reinterpret_cast<PIReadDescriptor>(t);
}

OSErr CloseRead(PIReadDescriptor token) {
    delete reinterpret_cast<ReadToken*>(token);
    --H().liveTokens;
    return H().Fails(Site::CloseRead) ? kFailure : kNoError;
}

Boolean GetKey(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags) {
    auto* t = reinterpret_cast<ReadToken*>(token);
    if (t->next >= t->d.entries.size()) return false;
    const auto& [k, v] = t->d.entries[t->next++];
    *key = k;
    *type = v.type;
    *flags = 0;
    t->current = &v;
    return true;
}

const Value* Current(PIReadDescriptor token, uint32 type, Site site) {
    const Value* v = reinterpret_cast<ReadToken*>(token)->current;
    if (H().Fails(site) || !v || v->type != type) return nullptr;
    return v;
}

OSErr GetIntegerProc(PIReadDescriptor token, int32* data) {
    const Value* v = Current(token, typeInteger, Site::GetInteger);
    if (!v) return kFailure;
    *data = v->integer;
    return noErr;
}
OSErr GetFloatProc(PIReadDescriptor token, double* data) {
    const Value* v = Current(token, typeFloat, Site::GetFloat);
    if (!v) return kFailure;
    *data = v->number;
    return noErr;
}
OSErr GetUnitFloatProc(PIReadDescriptor token, DescriptorUnitID* unit, double* data) {
    const Value* v = Current(token, typeUnitFloat, Site::GetUnitFloat);
    if (!v) return kFailure;
    *unit = v->unit;
    *data = v->number;
    return noErr;
}
OSErr GetBooleanProc(PIReadDescriptor token, Boolean* data) {
    const Value* v = Current(token, typeBoolean, Site::GetBoolean);
    if (!v) return kFailure;
    *data = v->boolean;
    return noErr;
}
OSErr GetTextProc(PIReadDescriptor token, Handle* data) {
    const Value* v = Current(token, typeChar, Site::GetText);
    if (!v) return kFailure;
    *data = H().NewHandleWith(v->text);
    return noErr;
}
OSErr GetEnumeratedProc(PIReadDescriptor token, DescriptorEnumID* data) {
    const Value* v = Current(token, typeEnumerated, Site::GetEnumerated);
    if (!v) return kFailure;
    *data = v->enumValue;
    return noErr;
}
OSErr GetObjectProc(PIReadDescriptor token, DescriptorClassID* type, PIDescriptorHandle* data) {
    const Value* v = Current(token, typeObject, Site::GetObject);
    if (!v) return kFailure;
    if (type) *type = v->objectClass;
    *data = H().NewDescriptorHandle(*v->object);
    return noErr;
}

// ---- scripting descriptor: writing ----

struct WriteToken {
    Descriptor d;
};

Descriptor& W(PIWriteDescriptor token) { return reinterpret_cast<WriteToken*>(token)->d; }

PIWriteDescriptor OpenWrite() {
    if (H().Fails(Site::OpenWrite)) return nullptr;
    ++H().liveTokens;
    return reinterpret_cast<PIWriteDescriptor>(new WriteToken);
}

OSErr CloseWrite(PIWriteDescriptor token, PIDescriptorHandle* out) {
    std::unique_ptr<WriteToken> t(reinterpret_cast<WriteToken*>(token));
    --H().liveTokens;
    if (H().Fails(Site::CloseWrite)) return kFailure;
    *out = H().NewDescriptorHandle(t->d);
    return *out ? noErr : memFullErr;
}

OSErr PutIntegerProc(PIWriteDescriptor token, DescriptorKeyID key, int32 data) {
    if (H().Fails(Site::PutInteger)) return kFailure;
    W(token).Set(key, Value::Integer(data));
    return noErr;
}
OSErr PutFloatProc(PIWriteDescriptor token, DescriptorKeyID key, const double* data) {
    if (H().Fails(Site::PutFloat)) return kFailure;
    W(token).Set(key, Value::Float(*data));
    return noErr;
}
OSErr PutUnitFloatProc(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit, const double* data) {
    if (H().Fails(Site::PutUnitFloat)) return kFailure;
    W(token).Set(key, Value::UnitFloat(unit, *data));
    return noErr;
}
OSErr PutBooleanProc(PIWriteDescriptor token, DescriptorKeyID key, Boolean data) {
    if (H().Fails(Site::PutBoolean)) return kFailure;
    W(token).Set(key, Value::Boolean(data != 0));
    return noErr;
}
OSErr PutTextProc(PIWriteDescriptor token, DescriptorKeyID key, Handle text) {
    if (H().Fails(Site::PutText) || !H().FindBlock(text)) return kFailure;
    W(token).Set(key, Value::Text(H().Bytes(text)));
    DisposeHandleProc(text);  // an accepted handle is the host's
    return noErr;
}
OSErr PutEnumeratedProc(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type, DescriptorEnumID v) {
    if (H().Fails(Site::PutEnumerated)) return kFailure;
    W(token).Set(key, Value::Enumerated(type, v));
    return noErr;
}
OSErr PutObjectProc(PIWriteDescriptor token, DescriptorKeyID key, DescriptorClassID type, PIDescriptorHandle h) {
    if (H().Fails(Site::PutObject) || !H().FindBlock(h)) return kFailure;
    W(token).Set(key, Value::Object(type, H().ReadDescriptorHandle(h)));
    DisposeHandleProc(h);
    return noErr;
}

// ---- ActionDescriptor suite ----

Descriptor* D(PIActionDescriptor d) { return reinterpret_cast<Descriptor*>(d); }
PIActionDescriptor NewActionDescriptor(const Descriptor& d) {
    ++H().liveDescriptors;
    return reinterpret_cast<PIActionDescriptor>(new Descriptor(d));
}

OSErr DMake(PIActionDescriptor* d) {
    if (H().Fails(Site::DescriptorMake)) return kFailure;
    *d = NewActionDescriptor(Descriptor{});
    return 0;
}
OSErr DFree(PIActionDescriptor d) {
    delete D(d);
    --H().liveDescriptors;
    return 0;
}
OSErr DGetType(PIActionDescriptor d, DescriptorKeyID key, DescriptorTypeID* type) {
    const Value* v = D(d)->Find(key);
    if (!v) return kFailure;
    *type = v->type;
    return 0;
}
OSErr DHasKey(PIActionDescriptor d, DescriptorKeyID key, Boolean* has) {
    *has = D(d)->Find(key) != nullptr;
    return 0;
}

OSErr DPut(PIActionDescriptor d, DescriptorKeyID key, const Value& v) {
    if (H().Fails(Site::DescriptorPut)) return kFailure;
    D(d)->Set(key, v);
    return 0;
}
OSErr DPutInteger(PIActionDescriptor d, DescriptorKeyID key, int32 v) { return DPut(d, key, Value::Integer(v)); }
OSErr DPutFloat(PIActionDescriptor d, DescriptorKeyID key, double v) { return DPut(d, key, Value::Float(v)); }
OSErr DPutUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID unit, double v) {
    return DPut(d, key, Value::UnitFloat(unit, v));
}
OSErr DPutString(PIActionDescriptor d, DescriptorKeyID key, const char* v) { return DPut(d, key, Value::Text(v)); }
OSErr DPutBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean v) {
    return DPut(d, key, Value::Boolean(v != 0));
}
OSErr DPutObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID type, PIActionDescriptor v) {
    return DPut(d, key, Value::Object(type, *D(v)));
}
OSErr DPutEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID v) {
    return DPut(d, key, Value::Enumerated(type, v));
}

const Value* DGet(PIActionDescriptor d, DescriptorKeyID key, uint32 type) {
    if (H().Fails(Site::DescriptorGet)) return nullptr;
    const Value* v = D(d)->Find(key);
    return v && v->type == type ? v : nullptr;
}
OSErr DGetInteger(PIActionDescriptor d, DescriptorKeyID key, int32* out) {
    const Value* v = DGet(d, key, typeInteger);
    if (!v) return kFailure;
    *out = v->integer;
    return 0;
}
OSErr DGetFloat(PIActionDescriptor d, DescriptorKeyID key, double* out) {
    const Value* v = DGet(d, key, typeFloat);
    if (!v) return kFailure;
    *out = v->number;
    return 0;
}
OSErr DGetUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID* unit, double* out) {
    const Value* v = DGet(d, key, typeUnitFloat);
    if (!v) return kFailure;
    *unit = v->unit;
    *out = v->number;
    return 0;
}
OSErr DGetStringLength(PIActionDescriptor d, DescriptorKeyID key, uint32* out) {
    const Value* v = DGet(d, key, typeChar);
    if (!v) return kFailure;
    *out = uint32(v->text.size());
    return 0;
}
OSErr DGetString(PIActionDescriptor d, DescriptorKeyID key, char* out, uint32 maxLength) {
    const Value* v = DGet(d, key, typeChar);
    if (!v || maxLength == 0) return kFailure;
    const std::size_t n = std::min<std::size_t>(v->text.size(), maxLength - 1);
    std::memcpy(out, v->text.data(), n);
    out[n] = 0;
    return 0;
}
OSErr DGetBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean* out) {
    const Value* v = DGet(d, key, typeBoolean);
    if (!v) return kFailure;
    *out = v->boolean;
    return 0;
}
OSErr DGetObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* type, PIActionDescriptor* out) {
    const Value* v = DGet(d, key, typeObject);
    if (!v) return kFailure;
    if (type) *type = v->objectClass;
    *out = NewActionDescriptor(*v->object);
    return H().Fails(Site::DescriptorGetObject) ? kFailure : 0;
}
OSErr DGetEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID* type, DescriptorEnumID* out) {
    const Value* v = DGet(d, key, typeEnumerated);
    if (!v) return kFailure;
    *type = v->enumType;
    *out = v->enumValue;
    return 0;
}

PSActionDescriptorProcs MakeDescriptorSuite() {
    PSActionDescriptorProcs s{};
    s.Make = DMake;
    s.Free = DFree;
    s.GetType = DGetType;
    s.HasKey = DHasKey;
    s.PutInteger = DPutInteger;
    s.PutFloat = DPutFloat;
    s.PutUnitFloat = DPutUnitFloat;
    s.PutString = DPutString;
    s.PutBoolean = DPutBoolean;
    s.PutObject = DPutObject;
    s.PutEnumerated = DPutEnumerated;
    s.GetInteger = DGetInteger;
    s.GetFloat = DGetFloat;
    s.GetUnitFloat = DGetUnitFloat;
    s.GetStringLength = DGetStringLength;
    s.GetString = DGetString;
    s.GetBoolean = DGetBoolean;
    s.GetObject = DGetObject;
    s.GetEnumerated = DGetEnumerated;
    return s;
}
const PSActionDescriptorProcs kDescriptorSuite = MakeDescriptorSuite();

// ---- ActionReference and ActionControl suites ----

struct Reference {
    uint32 property = 0;
    uint32 desiredClass = 0;
    bool target = false;
};

OSErr RMake(PIActionReference* r) {
    if (H().Fails(Site::ReferenceMake)) return kFailure;
    ++H().liveReferences;
    *r = reinterpret_cast<PIActionReference>(new Reference);
    return 0;
}
OSErr RFree(PIActionReference r) {
    delete reinterpret_cast<Reference*>(r);
    --H().liveReferences;
    return 0;
}
OSErr RPutProperty(PIActionReference r, DescriptorClassID, DescriptorKeyID key) {
    if (H().Fails(Site::ReferencePut)) return kFailure;
    reinterpret_cast<Reference*>(r)->property = key;
    return 0;
}
OSErr RPutEnumerated(PIActionReference r, DescriptorClassID cls, DescriptorEnumTypeID type, DescriptorEnumID v) {
    if (H().Fails(Site::ReferencePut)) return kFailure;
    auto* ref = reinterpret_cast<Reference*>(r);
    ref->desiredClass = cls;
    ref->target = type == FourCC("Ordn") && v == FourCC("Trgt");
    return 0;
}

PSActionReferenceProcs MakeReferenceSuite() {
    PSActionReferenceProcs s{};
    s.Make = RMake;
    s.Free = RFree;
    s.PutProperty = RPutProperty;
    s.PutEnumerated = RPutEnumerated;
    return s;
}
const PSActionReferenceProcs kReferenceSuite = MakeReferenceSuite();

// The current document answers with its resolution.
OSErr CGet(PIActionDescriptor* result, PIActionReference r) {
    if (H().Fails(Site::ControlGet)) return kFailure;
    const auto* ref = reinterpret_cast<const Reference*>(r);
    if (ref->desiredClass != FourCC("Dcmn") || !ref->target || H().resolution <= 0) return errMissingParameter;
    Descriptor d;
    if (ref->property == 0 || ref->property == FourCC("Rslt"))
        d.Set(FourCC("Rslt"), Value::UnitFloat(unitDensity, H().resolution));
    *result = NewActionDescriptor(d);
    return 0;
}
PSActionControlProcs MakeControlSuite() {
    PSActionControlProcs s{};
    s.Get = CGet;
    return s;
}
const PSActionControlProcs kControlSuite = MakeControlSuite();

// ---- DescriptorRegistry suite ----

OSErr RegRegister(const char* key, PIActionDescriptor d, Boolean) {
    if (H().Fails(Site::RegistryRegister)) return kFailure;
    H().registry[key] = *D(d);
    return 0;
}
OSErr RegErase(const char* key) {
    H().registry.erase(key);
    return 0;
}
OSErr RegGet(const char* key, PIActionDescriptor* d) {
    auto it = H().registry.find(key);
    *d = it == H().registry.end() ? nullptr : NewActionDescriptor(it->second);
    // A failing host may hand the entry out all the same.
    return H().Fails(Site::RegistryGet) ? kFailure : 0;
}
const PSDescriptorRegistryProcs kRegistrySuite{RegRegister, RegErase, RegGet};

// ---- basic suite ----

struct SuiteEntry {
    const char* name;
    Site site;
    const void* procs;
};
const SuiteEntry kSuites[] = {
    {kPSActionDescriptorSuite, Site::AcquireDescriptor, &kDescriptorSuite},
    {kPSActionReferenceSuite, Site::AcquireReference, &kReferenceSuite},
    {kPSActionControlSuite, Site::AcquireControl, &kControlSuite},
    {kPSDescriptorRegistrySuite, Site::AcquireRegistry, &kRegistrySuite},
};

SPErr AcquireSuiteProc(const char* name, int32, const void** suite) {
    for (const SuiteEntry& s : kSuites) {
        if (std::strcmp(name, s.name) != 0) continue;
        if (H().absentSuites.count(name) || H().Fails(s.site)) return kSPSuiteNotFoundError;
        ++H().acquired[name];
        *suite = s.procs;
        return 0;
    }
    return kSPSuiteNotFoundError;
}

SPErr ReleaseSuiteProc(const char* name, int32) {
    --H().acquired[name];
    return 0;
}

OSErr AdvanceStateProc() { return H().Fails(Site::AdvanceState) ? kFailure : kNoError; }

}  // namespace

Host::Host() {
    current = this;
    handleProcs = HandleProcs{kCurrentHandleProcsVersion, kCurrentHandleProcsCount, NewHandleProc,
                              DisposeHandleProc, GetHandleSizeProc, SetHandleSizeProc, LockHandleProc,
                              UnlockHandleProc, nullptr, nullptr};
    // The procedures the plug-in uses, by name; the others stay null.
    readProcs = ReadDescriptorProcs{};
    readProcs.readDescriptorProcsVersion = kCurrentReadDescriptorProcsVersion;
    readProcs.numReadDescriptorProcs = kCurrentReadDescriptorProcsCount;
    readProcs.openReadDescriptorProc = OpenRead;
    readProcs.closeReadDescriptorProc = CloseRead;
    readProcs.getKeyProc = GetKey;
    readProcs.getIntegerProc = GetIntegerProc;
    readProcs.getFloatProc = GetFloatProc;
    readProcs.getUnitFloatProc = GetUnitFloatProc;
    readProcs.getBooleanProc = GetBooleanProc;
    readProcs.getTextProc = GetTextProc;
    readProcs.getEnumeratedProc = GetEnumeratedProc;
    readProcs.getObjectProc = GetObjectProc;
    writeProcs = WriteDescriptorProcs{};
    writeProcs.writeDescriptorProcsVersion = kCurrentWriteDescriptorProcsVersion;
    writeProcs.numWriteDescriptorProcs = kCurrentWriteDescriptorProcsCount;
    writeProcs.openWriteDescriptorProc = OpenWrite;
    writeProcs.closeWriteDescriptorProc = CloseWrite;
    writeProcs.putIntegerProc = PutIntegerProc;
    writeProcs.putFloatProc = PutFloatProc;
    writeProcs.putUnitFloatProc = PutUnitFloatProc;
    writeProcs.putBooleanProc = PutBooleanProc;
    writeProcs.putTextProc = PutTextProc;
    writeProcs.putEnumeratedProc = PutEnumeratedProc;
    writeProcs.putObjectProc = PutObjectProc;
    descriptorParameters.readDescriptorProcs = &readProcs;
    descriptorParameters.writeDescriptorProcs = &writeProcs;
    descriptorParameters.playInfo = plugInDialogDontDisplay;
    basic.AcquireSuite = AcquireSuiteProc;
    basic.ReleaseSuite = ReleaseSuiteProc;
    record.handleProcs = &handleProcs;
    record.descriptorParameters = &descriptorParameters;
    record.sSPBasic = &basic;
    record.advanceState = AdvanceStateProc;
    record.planes = 3;
    record.imageMode = plugInModeRGBColor;
    record.maxSpace = 1 << 30;
}

Host::~Host() {
    for (Block* b : handles_) {
        std::free(b->data);
        delete b;
    }
    if (current == this) current = nullptr;
}

Handle Host::NewHandleWith(const std::string& bytes) {
    Handle h = Allocate(int32(bytes.size()));
    if (h && !bytes.empty()) std::memcpy(FindBlock(h)->data, bytes.data(), bytes.size());
    return h;
}

std::string Host::Bytes(Handle h) const {
    const Block* b = FindBlock(h);
    return b ? std::string(b->data, std::size_t(b->size)) : std::string();
}

int Host::LockCount(Handle h) const {
    const Block* b = FindBlock(h);
    return b ? b->locks : -1;
}

void Host::Dispose(Handle h) {
    if (FindBlock(h)) DisposeHandleProc(h);
}

void Host::DisposeHeldHandles() {
    auto dispose = [this](Handle h) {
        if (FindBlock(h)) DisposeHandleProc(h);
    };
    dispose(reinterpret_cast<Handle>(data));
    dispose(record.parameters);
    dispose(descriptorParameters.descriptor);
    data = 0;
    record.parameters = nullptr;
    descriptorParameters.descriptor = nullptr;
}

bool Host::Balanced() const {
    for (const auto& [name, count] : acquired)
        if (count != 0) return false;
    return liveTokens == 0 && liveDescriptors == 0 && liveReferences == 0;
}

}  // namespace fake
