#include "host/host_services.h"
#include "host/image_buffer.h"
#include "toolkit_fixture.h"
#include "win32/shell_folders.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

using namespace Corvantis::Host::PS;

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { previous ? setenv(name, previous->c_str(), 1) : unsetenv(name); }

private:
    const char* name;
    std::optional<std::string> previous;
};

// What the host's display callback was handed.
struct Display {
    static inline int calls = 0;
    static inline PSPixelMap map{};
    static inline std::vector<PSPixelMask> masks;
    static inline int32 row = 0, col = 0;
    static inline void* context = nullptr;
    static OSErr Call(const PSPixelMap* m, const VRect* src, int32 dstRow, int32 dstCol, void* ctx) {
        ++calls;
        map = *m;
        masks.clear();
        for (PSPixelMask* mask = m->masks; mask; mask = mask->next) masks.push_back(*mask);
        EXPECT_EQ(src->top, m->bounds.top);
        row = dstRow, col = dstCol, context = ctx;
        return 7;
    }
};

}  // namespace

TEST(DisplayPixels, MapIsRebasedOnTheSourceWithSelectionThenAlphaMask) {
    FilterRecord record{};
    record.displayPixels = &Display::Call;
    TestHost host;
    host.filterRecord = &record;
    std::vector<uint8> pixels(20 * 160), selection(24 * 44);
    ImageBuffer image, mask;
    image.map.bounds = VRect{10, 20, 30, 60};
    image.map.imageMode = plugInModeRGBColor;
    image.map.rowBytes = 160;
    image.map.colBytes = 4;
    image.map.planeBytes = 1;
    image.map.baseAddr = pixels.data();
    image.map.maskPhaseRow = 5;
    image.extraAlpha = 1;
    mask.map.bounds = VRect{8, 18, 32, 62};
    mask.map.rowBytes = 44;
    mask.map.colBytes = 1;
    mask.map.baseAddr = selection.data();
    int context = 0;

    VRect drawn{};
    EXPECT_EQ(host.DisplayPixels(drawn, VRect{13, 22, 20, 40}, VRect{100, 200, 107, 218}, image, mask, &context), 7);
    ASSERT_EQ(Display::calls, 1);
    const uint8* moved = pixels.data() + 3 * 160 + 2 * 4;  // 3 rows and 2 columns in
    EXPECT_EQ(Display::map.version, 1);
    EXPECT_EQ(Display::map.baseAddr, moved);
    EXPECT_EQ(Display::map.bounds.right, 40);
    EXPECT_EQ(Display::map.maskPhaseRow, 0);
    EXPECT_EQ(Display::row, 100);
    EXPECT_EQ(Display::col, 200);
    EXPECT_EQ(Display::context, &context);
    ASSERT_EQ(Display::masks.size(), 2u);
    EXPECT_EQ(Display::masks[0].maskData, selection.data() + 5 * 44 + 4);
    EXPECT_EQ(Display::masks[0].rowBytes, 44);
    EXPECT_EQ(Display::masks[0].colBytes, 1);
    EXPECT_EQ(Display::masks[1].maskData, moved + 3);  // the plane after red, green and blue
    EXPECT_EQ(Display::masks[1].colBytes, 4);
    EXPECT_EQ(drawn.bottom, 107);

    // The whole buffer keeps its base; no display callback draws nothing.
    mask.map.baseAddr = nullptr;
    image.extraAlpha = 0;
    host.DisplayPixels(drawn, image.GetRect(), VRect{0, 0, 20, 40}, image, mask, nullptr);
    EXPECT_EQ(Display::map.baseAddr, pixels.data());
    EXPECT_TRUE(Display::masks.empty());
    record.displayPixels = nullptr;
    EXPECT_EQ(host.DisplayPixels(drawn, VRect{13, 22, 20, 40}, VRect{50, 60, 57, 78}, image, mask, nullptr), noErr);
    EXPECT_EQ(Display::calls, 2);
    EXPECT_EQ(drawn.left, 60);
    EXPECT_TRUE(RectEmpty(drawn));
    image.map = mask.map = PSPixelMap{};
}

TEST(PresetFolder, SharedDocumentsFolderWithSeparators) {
    {
        ScopedEnv docs("TELLORA_DOCUMENTS_DIR", "/tmp/tellora-docs/");
        EXPECT_EQ(GetPresetFolder("Tellora", "Presets"), "/tmp/tellora-docs/Corvantis/Tellora/Presets/");
        EXPECT_FALSE(std::filesystem::exists("/tmp/tellora-docs"));  // nothing is created
    }
    ScopedEnv docs("TELLORA_DOCUMENTS_DIR", nullptr);
    ScopedEnv xdg("XDG_DOCUMENTS_DIR", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", "/nonexistent");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(GetPresetFolder("Tellora", "Presets"), "/home/someone/Documents/Corvantis/Tellora/Presets/");
    // Without any documents folder the result is empty, never a folder at the root.
    unsetenv("HOME");
    wchar_t path[MAX_PATH] = L"junk";
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, path), E_FAIL);
    EXPECT_EQ(path[0], L'\0');
    EXPECT_TRUE(GetPresetFolder("Tellora", "Presets").empty());
}
