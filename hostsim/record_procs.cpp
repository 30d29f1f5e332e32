#include "hostsim/record_procs.h"

#include "hostsim/unserved.h"

namespace hostsim {
namespace {

int16 CountResources(ResType) { return 0; }

OSErr GetProperty(PIType, PIType, int32, intptr_t* simpleProperty, Handle* complexProperty) {
    if (simpleProperty) *simpleProperty = 0;
    if (complexProperty) *complexProperty = nullptr;
    return errPlugInPropertyUndefined;
}

OSErr SetProperty(PIType, PIType, int32, intptr_t, Handle) { return errPlugInPropertyUndefined; }

}  // namespace

ResourceProcs UnservedResourceProcs() {
    ResourceProcs procs{};
    procs.resourceProcsVersion = kCurrentResourceProcsVersion;
    procs.numResourceProcs = kCurrentResourceProcsCount;
    procs.countProc = &CountResources;
    procs.getProc = NotServed<GetPIResourceProc>();
    procs.deleteProc = NotServed<DeletePIResourceProc>();
    procs.addProc = NotServed<AddPIResourceProc>();
    return procs;
}

PropertyProcs UnservedPropertyProcs() {
    PropertyProcs procs{};
    procs.propertyProcsVersion = kCurrentPropertyProcsVersion;
    procs.numPropertyProcs = kCurrentPropertyProcsCount;
    procs.getPropertyProc = &GetProperty;
    procs.setPropertyProc = &SetProperty;
    return procs;
}

ImageServicesProcs UnservedImageServicesProcs() {
    ImageServicesProcs procs{};
    procs.imageServicesProcsVersion = kCurrentImageServicesProcsVersion;
    procs.numImageServicesProcs = kCurrentImageServicesProcsCount;
    procs.interpolate1DProc = NotServed<PIResampleProc>();
    procs.interpolate2DProc = NotServed<PIResampleProc>();
    procs.interpolate1DMultiProc = NotServed<PIResampleMultiProc>();
    procs.interpolate2DMultiProc = NotServed<PIResampleMultiProc>();
    procs.interpolate1DMulti32Proc = NotServed<PIResampleMulti32Proc>();
    procs.interpolate2DMulti32Proc = NotServed<PIResampleMulti32Proc>();
    return procs;
}

ChannelPortProcs UnservedChannelPortProcs() {
    ChannelPortProcs procs{};
    procs.channelPortProcsVersion = kCurrentChannelPortProcsVersion;
    procs.numChannelPortProcs = kCurrentChannelPortProcsCount;
    procs.readPixelsProc = NotServed<ReadPixelsProc>();
    procs.writeBasePixelsProc = NotServed<WriteBasePixelsProc>();
    procs.readPortForWritePortProc = NotServed<ReadPortForWritePortProc>();
    return procs;
}

GetPropertyProc UnservedGetProperty() { return &GetProperty; }

}  // namespace hostsim
