// A rectangle of pixels in one image mode, depth and channel count, interleaved or planar,
// held in host buffer memory, laid over the host's own in, out or mask data, or viewing
// another buffer. Its geometry is kept in the layout of the host's pixel map so that a buffer
// can be handed to the display callback unchanged.
//
// Addressing: the sample of plane p at image coordinates (x, y) inside GetRect() lies at
//   GetData() + (y - top) * RowBytes() + (x - left) * ColumnBytes() + p * PlaneBytes().
// Interleaved buffers have PlaneBytes() == bytes per sample; planar ones (IsPlanar()) have
// ColumnBytes() == bytes per sample and whole planes one after the other. Buffers over host
// data use the host's strides. Samples are uint8 (0..255), uint16 (0..32768) or float (0..1).
#pragma once
#include "host/host_buffer.h"
#include "pluginapi/channel_ports.h"
#include "pluginapi/pixel_map.h"

#include <cstdint>
#include <vector>

namespace Corvantis::Host::PS {

class Host;
using Rect = VRect;

class ImageBuffer {
public:
    // Which of the host's data a buffer lies over, if any.
    enum class HostData : uint8 { None, Input, Output, Mask };

    explicit ImageBuffer(Host* host = nullptr);
    ~ImageBuffer();
    ImageBuffer(ImageBuffer&& other) noexcept;
    ImageBuffer& operator=(ImageBuffer&& other) noexcept;
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;

    // Geometry.
    const Rect& GetRect() const { return map.bounds; }
    int32 Width() const { return map.bounds.right - map.bounds.left; }
    int32 Height() const { return map.bounds.bottom - map.bounds.top; }
    int32 GetMode() const { return map.imageMode; }
    int32 RowBytes() const { return map.rowBytes; }
    int32 ColumnBytes() const { return map.colBytes; }
    int32 PlaneBytes() const { return map.planeBytes; }
    uint8* GetData() const { return static_cast<uint8*>(map.baseAddr); }
    bool HasData() const { return map.baseAddr != nullptr; }
    bool IsPlanar() const { return map.planeBytes > map.colBytes; }
    const PSPixelMap& PixelMap() const { return map; }
    // Address of plane `plane` at image coordinates (x, y); the caller keeps inside GetRect().
    uint8* SampleAt(int32 x, int32 y, int32 plane) const {
        return GetData() + int64_t(y - map.bounds.top) * map.rowBytes + int64_t(x - map.bounds.left) * map.colBytes +
               int64_t(plane) * map.planeBytes;
    }

    // Frees the memory and empties the geometry; scale, bits, channels and extraAlpha stay.
    void Reset();
    // Own memory for `rect` in `mode`; channels < 0: the mode's colour planes plus the
    // transparency plane when the document has one. Samples are not initialised.
    void Allocate(const Rect& rect, int32 mode, int32 channels, bool planar);
    // Own memory for `rect` with other's mode, depth, planes, layout, scale and image rect.
    void AllocateLike(const ImageBuffer& other, const Rect& rect);
    // Planes the same pixels have in `mode`, extra planes carried over.
    int32 ChannelCountFor(int32 mode) const;
    // Becomes a view of `rect` (clipped to other's rect) inside other; other must outlive it.
    void MakeView(const ImageBuffer& other, const Rect& rect);
    // Moves to `rect` keeping the samples of the overlap; the rest is left uninitialised.
    void MoveTo(const Rect& rect);
    // Copies the samples of the planes both buffers have inside rect (clipped to both);
    // both buffers must have the same depth.
    void CopyFrom(const ImageBuffer& other, const Rect& rect);
    // Zeroes every sample inside rect (clipped to the buffer).
    void ClearRect(const Rect& rect);
    // One row between an interleaved run and the buffer's planar row (planes planeBytes apart).
    void DeinterleaveRow(const void* src, void* dst) const;
    void InterleaveRow(const void* src, void* dst) const;

    // Lying over the host's data; valid until the host's next advance of state.
    void AttachInData(const Rect& rect);
    void AttachOutData(const Rect& rect);
    void AttachInput();
    void AttachMaskData(const Rect& rect);
    void AttachMask();
    HostData LiesOver() const { return hostData; }
    // Puts back the host request this buffer lies over (rect, planes, layout) without
    // advancing; true when anything had to change. Later requests of other buffers may have
    // released or moved the data.
    bool RestoreHostRequest();
    // Re-reads the host's pointers after the host has advanced.
    void RefreshHostData();

    // Sampling.
    float GetSamplingScale(float scale, int32 mode) const;
    float GetDocumentSamplingScale(float scale) const;
    void SetSamplingRate(float scale, bool isMask);

    // Channel ports and scaling.
    void ReadFromPort(ChannelReadPort port, int32 portDepth, const Rect& readRect, const PSScaling& scaling,
                      const PixelMemoryDesc& destination);
    void ResampleFrom(const ImageBuffer& other, const Rect& rect, const Rect& imageRect);
    void ScaleFrom(const ImageBuffer& other, const Rect& rect, float factor);

    // Writes the buffer into the document, planes from firstPlane on. When the buffer's mode
    // is not the document's and `source` is the buffer it was rendered from (read converted),
    // every pixel left equal to the source goes back with the document's own bits.
    void WriteBack(int32 firstPlane, const ImageBuffer* source = nullptr);

    // Reading the document (source 0 the target layer, 1 the selection, n >= 2 layer n - 2).
    void ReadPixels(uint64_t source, const Rect& rect, float scale, int32 mode, int32 channels, int32 firstPlane,
                    bool direct);
    void ReadSource(uint64_t source, const Rect& rect, float scale);

    Host* host = nullptr;
    PSPixelMap map{};
    Rect imageRect{};  // the whole image at the buffer's scale
    HostBuffer memory;
    float scale = 1.0f;
    int32 bits = 8;
    int32 channels = 3;
    uint8 extraAlpha = 0;

private:
    void AttachHostData(HostData kind, const Rect& rect);
    void RequireHostData();
    // Row y as a packed interleaved run: the row itself when the buffer is packed that way,
    // else gathered into scratch (width x channels samples).
    const uint8* InterleavedRow(int32 y, uint8* scratch) const;
    bool NeedsInterleaveScratch() const;
    void FillOpaque(int32 plane);
    void Lay(const Rect& rect, int32 mode, int32 sampleBits, int32 planes, bool planar);
    Host& RequireHost() const;
    bool ReadChannelPorts(uint64_t source, const Rect& rect, float requested, int32 eff, int32 planes,
                          int32 firstPlane, int32 docBits);
    void ReadClassic(uint64_t source, const Rect& rect, int32 eff, int32 planes, int32 firstPlane, bool direct,
                     int32 docBits);
    void WriteThroughPorts(int32 firstPlane, int32 targetMode, int32 targetBits, const ImageBuffer* source);
    void WriteClassic(int32 firstPlane, int32 targetMode, int32 targetBits, const ImageBuffer* source);

    // Keeps the document's own samples of a converting read: interleaved rows of `rect` in the
    // document's mode and depth.
    uint8* KeepNativeRows(const Rect& rect, int32 mode, int32 sampleBits, int32 planes);
    uint8* NativeAt(int32 x, int32 y) const;
    // Puts back into `row` (document samples of this buffer's row y, `planes` planes at
    // `sampleBits`) the source's own samples wherever this buffer equals the source.
    void RestoreUnchanged(const ImageBuffer* source, int32 y, uint8* row, int32 mode, int32 sampleBits,
                          int32 planes) const;

    struct NativeRows {
        std::vector<uint8> samples;
        Rect rect{};
        int32 mode = -1;
        int32 bits = 0;
        int32 channels = 0;
        int64_t rowBytes = 0;
    } native;
    HostData hostData = HostData::None;
    int16 hostLoPlane = 0;
    int16 hostHiPlane = -1;
    int16 hostLayout = 0;
};

// Destroys every buffer of the vector and leaves it empty.
void DeleteImageBuffers(std::vector<ImageBuffer*>& buffers);

}  // namespace Corvantis::Host::PS
