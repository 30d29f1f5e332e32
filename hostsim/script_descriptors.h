// The filter record's scripting descriptor: the descriptorParameters record, its read and write
// descriptor procs, and the host's side of handing a descriptor in and taking one back.
#pragma once
#include "hostsim/callback_table.h"
#include "hostsim/descriptor.h"
#include "hostsim/handle_store.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace hostsim {

// A descriptor travels through the filter record as a handle of the host's store holding its
// text form. Null when the store refuses the handle.
Handle DescriptorToHandle(HandleStore& store, const Descriptor& descriptor);
// Nullopt when `h` is not a live handle of the store or does not hold a descriptor.
std::optional<Descriptor> DescriptorFromHandle(const HandleStore& store, Handle h);

class ScriptDescriptors {
public:
    ScriptDescriptors();
    ScriptDescriptors(const ScriptDescriptors&) = delete;
    ScriptDescriptors& operator=(const ScriptDescriptors&) = delete;

    // The record for the filter record's descriptorParameters.
    PIDescriptorParameters* record() { return &record_; }
    const PIDescriptorParameters* record() const { return &record_; }
    // Points the record at the procs tables (or null for tables switched off) and nulls the
    // procs whose callbacks are Absent.
    void Apply(bool readProcs, bool writeProcs, const CallbackTable& callbacks);

    // Puts `descriptor` into the record for the next Start, with the play information
    // (plugInDialogDisplay, ...DontDisplay or ...Silent); a descriptor already there is disposed.
    // False when the store cannot make the handle.
    bool Offer(HandleStore& store, const Descriptor& descriptor, int32 playInfo);
    // Takes the descriptor the plug-in left in the record (written at Finish), disposes its
    // handle and clears the field. Nullopt when there is none; a handle that is not the host's
    // or holds no descriptor also gives nullopt, with the reason in `problem`.
    std::optional<Descriptor> Take(HandleStore& store, std::string* problem = nullptr);
    // Disposes whatever descriptor the record holds and resets play and record information.
    void Reset(HandleStore& store);

    // Read and write tokens the plug-in opened and has not closed.
    std::size_t OpenReadTokens() const { return readTokens_.size(); }
    std::size_t OpenWriteTokens() const { return writeTokens_.size(); }
    // The keys the plug-in said it expects, at its last open for reading. Closing a read token
    // answers errMissingParameter (-1715) when getKeyProc never returned one of the keys its
    // open named, as an editor's host does, unless a read failed first.
    const std::vector<DescriptorKeyID>& expectedKeys() const { return expectedKeys_; }
    // Forgets open tokens (the end of a session).
    void Clear();

private:
    struct ReadToken {
        Descriptor descriptor;
        std::size_t next = 0;
        std::optional<std::size_t> current;  // the item getKeyProc returned last
        OSErr firstError = noErr;
        std::vector<DescriptorKeyID> keysNotRead;  // of the open's key array
    };
    struct WriteToken {
        Descriptor descriptor;
        OSErr firstError = noErr;
    };

    // Token values are numbers that are never reused, so a stale token is recognised.
    PIReadDescriptor NewReadToken(ReadToken token);
    PIWriteDescriptor NewWriteToken();
    ReadToken* FindRead(PIReadDescriptor token);
    WriteToken* FindWrite(PIWriteDescriptor token);

    friend struct ScriptDescriptorProcs;

    PIDescriptorParameters record_{};
    ReadDescriptorProcs readProcs_{};
    WriteDescriptorProcs writeProcs_{};
    std::map<std::uintptr_t, ReadToken> readTokens_;
    std::map<std::uintptr_t, WriteToken> writeTokens_;
    std::uintptr_t nextToken_ = 0x5100;
    std::vector<DescriptorKeyID> expectedKeys_;
};

}  // namespace hostsim
