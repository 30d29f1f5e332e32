// Rectangles and plane ranges of the filter record. The plug-in always works in 32-bit
// coordinates when the host supplies its big-document record.
#include "host/host.h"

namespace Corvantis::Host::PS {
namespace {

Rect FromRect16(const ::Rect& r) { return Rect{r.top, r.left, r.bottom, r.right}; }

::Rect ToRect16(const Rect& r) {
    return ::Rect{int16(uint16(uint32(r.top))), int16(uint16(uint32(r.left))), int16(uint16(uint32(r.bottom))),
                  int16(uint16(uint32(r.right)))};
}

// bigDocumentData is an 8.0 field; a host without it leaves it null.
BigDocumentStruct* Uses32Bit(FilterRecord* record) {
    if (record && record->bigDocumentData && record->bigDocumentData->PluginUsing32BitCoordinates)
        return record->bigDocumentData;
    return nullptr;
}

}  // namespace

Rect Host::GetFilterRect() const {
    if (auto* big = Uses32Bit(filterRecord)) return big->filterRect32;
    return filterRecord ? FromRect16(filterRecord->filterRect) : Rect{};
}

Rect Host::GetInRect() const {
    if (auto* big = Uses32Bit(filterRecord)) return big->inRect32;
    return filterRecord ? FromRect16(filterRecord->inRect) : Rect{};
}

Rect Host::GetMaskRect() const {
    if (auto* big = Uses32Bit(filterRecord)) return big->maskRect32;
    return filterRecord ? FromRect16(filterRecord->maskRect) : Rect{};
}

void Host::SetInRect(const Rect& rect) {
    if (auto* big = Uses32Bit(filterRecord)) big->inRect32 = rect;
    else if (filterRecord) filterRecord->inRect = ToRect16(rect);
}

void Host::SetOutRect(const Rect& rect) {
    if (auto* big = Uses32Bit(filterRecord)) big->outRect32 = rect;
    else if (filterRecord) filterRecord->outRect = ToRect16(rect);
}

void Host::SetMaskRect(const Rect& rect) {
    if (auto* big = Uses32Bit(filterRecord)) big->maskRect32 = rect;
    else if (filterRecord) filterRecord->maskRect = ToRect16(rect);
}

void Host::SetInPlanes(int16 first, int16 count) {
    filterRecord->inLoPlane = first;
    filterRecord->inHiPlane = int16(first + count - 1);
}

void Host::SetOutPlanes(int16 first, int16 count) {
    const int16 planes = filterRecord->planes;
    if (first + count > planes) {
        if (!filterRecord->supportsDummyChannels) CheckError(errPlugInHostInsufficient);
        filterRecord->outPostDummyPlanes = int16(first + count - planes);
        count = int16(planes - first);
    } else {
        filterRecord->outPostDummyPlanes = 0;
    }
    filterRecord->outLoPlane = first;
    filterRecord->outHiPlane = int16(first + count - 1);
}

bool Host::LacksDocumentInfo() const {
    // documentInfo is a 4.0 field; older hosts leave it null.
    const ReadImageDocumentDesc* doc = filterRecord ? filterRecord->documentInfo : nullptr;
    if (!doc) return true;
    const ReadChannelDesc* first = doc->targetCompositeChannels ? doc->targetCompositeChannels
                                                                : doc->mergedCompositeChannels;
    return !first || first->maxVersion < 3;
}

bool Host::HasMask() const { return filterRecord && filterRecord->haveMask; }

bool Host::HasTransparencyPlane() const {
    return filterRecord && filterRecord->filterCase >= filterCaseEditableTransparencyNoSelection &&
           filterRecord->filterCase <= filterCaseProtectedTransparencyWithSelection;
}

}  // namespace Corvantis::Host::PS
