#include "dialog_fixture.h"

#include "ui/framework_events.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/listbox.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>

namespace dialog_test {

FakeDocument* FakeDocument::current = nullptr;

struct FakeDocument::Callbacks {
    // Classic protocol: the requested rows, planes interleaved, the input at the input rate. The
    // output block is scratch: nothing checks the document afterwards.
    static OSErr Advance() {
        FakeDocument& d = *current;
        FilterRecord& r = d.record;
        d.inBlock = d.Serve(d.big.inRect32, r.inLoPlane, r.inHiPlane, r.inputRate, r.inRowBytes);
        r.inData = d.inBlock.empty() ? nullptr : d.inBlock.data();
        d.outBlock = d.Serve(d.big.outRect32, r.outLoPlane, r.outHiPlane, 65536, r.outRowBytes);
        r.outData = d.outBlock.empty() ? nullptr : d.outBlock.data();
        return noErr;
    }

    static OSErr Display(const PSPixelMap* map, const VRect* source, int32 row, int32 col, void* context) {
        const int32 w = source->right - source->left, h = source->bottom - source->top;
        if (!context || w <= 0 || h <= 0) return noErr;
        ++current->displays;
        wxImage image(w, h, false);
        auto sample = [&](int32 x, int32 y, int32 p) {
            return static_cast<const uint8*>(map->baseAddr)[int64_t(y) * map->rowBytes + int64_t(x) * map->colBytes +
                                                            int64_t(p) * map->planeBytes];
        };
        for (int32 y = 0; y < h; ++y)
            for (int32 x = 0; x < w; ++x) image.SetRGB(x, y, sample(x, y, 0), sample(x, y, 1), sample(x, y, 2));
        std::unique_ptr<wxGraphicsContext> gc(
            wxGraphicsRenderer::GetDefaultRenderer()->CreateContextFromNativeContext(context));
        if (gc) gc->DrawBitmap(wxBitmap(image), col, row, w, h);
        return noErr;
    }

    static OSErr Allocate(int32 size, BufferID* id) {
        *id = size < 0 ? nullptr : reinterpret_cast<BufferID>(std::malloc(size_t(size) + 1));
        return *id ? noErr : memFullErr;
    }
    static Ptr Lock(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
    static void Unlock(BufferID) {}
    static void Free(BufferID id) { std::free(id); }
    static int32 Space() { return 1 << 30; }

    static OSErr Pick(ColorServicesInfo* info) {
        for (int i = 0; i < 3; ++i) info->colorComponents[i] = current->picked[i];
        return noErr;
    }
};

std::vector<uint8> FakeDocument::Serve(const VRect& r, int16 lo, int16 hi, int32 rate, int32& rowBytes) const {
    std::vector<uint8> block;
    const int32 n = hi - lo + 1;
    if (r.right <= r.left || r.bottom <= r.top || n <= 0) return block;
    const int32 w = r.right - r.left;
    block.assign(size_t(w) * (r.bottom - r.top) * n, 0);
    for (int32 y = r.top; y < r.bottom; ++y)
        for (int32 x = r.left; x < r.right; ++x) {
            const int64_t sx = int64_t(x) * rate / 65536, sy = int64_t(y) * rate / 65536;
            if (sx >= width || sy >= height) continue;
            for (int32 k = 0; k < n; ++k)
                block[(size_t(y - r.top) * w + (x - r.left)) * n + k] = pixels[(size_t(sy) * width + sx) * 3 + lo + k];
        }
    rowBytes = w * n;
    return block;
}

FakeDocument::FakeDocument(int32 w, int32 h, const uint8* rgb) : width(w), height(h), pixels(size_t(w) * h * 3) {
    current = this;
    if (rgb) std::copy(rgb, rgb + pixels.size(), pixels.begin());
    // A soft blue-green gradient, far from the bubble's white and black.
    for (int32 y = 0; y < h; ++y)
        for (int32 x = 0; x < w; ++x) {
            if (rgb) break;
            uint8* p = &pixels[(size_t(y) * w + x) * 3];
            p[0] = uint8(40 + 60 * x / w);
            p[1] = uint8(90 + 80 * y / h);
            p[2] = uint8(160 + 60 * x / w);
        }
    big.filterRect32 = VRect{0, 0, h, w};
    big.imageSize32 = VPoint{h, w};
    record.planes = 3;
    record.imageSize = Point{int16(h), int16(w)};
    record.filterRect = ::Rect{0, 0, int16(h), int16(w)};
    record.imageMode = plugInModeRGBColor;
    record.depth = 8;
    record.advanceState = Callbacks::Advance;
    bufferProcs = BufferProcs{kCurrentBufferProcsVersion, kClassicBufferProcsCount, Callbacks::Allocate,
                              Callbacks::Lock,            Callbacks::Unlock,        Callbacks::Free,
                              Callbacks::Space, nullptr, nullptr, nullptr};
    record.bufferProcs = &bufferProcs;
    record.filterCase = filterCaseFlatImageNoSelection;
    record.inputRate = record.maskRate = 65536;
    record.samplingSupport = 2;  // any rate: the preview fits the picture
    record.bigDocumentData = &big;
    record.errorString = &errorText;
    record.platformData = &platform;
    record.displayPixels = Callbacks::Display;
    record.colorServices = Callbacks::Pick;
}

FakeDocument::~FakeDocument() {
    if (current == this) current = nullptr;
}

int SaveAs::OnInvoked(wxFileDialog* dialog) const {
    dialog->SetPath(path);
    for (int i = 0; i < 400 && dialog->GetPath() != path; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    EXPECT_EQ(dialog->GetPath(), path);
    return answer;
}

namespace {
bool gStarted = false;
}

void DialogTest::SetUpTestSuite() {
    // Nobody answers boxes or dialogs here, also when the tests run from a terminal.
    ::setenv("TELLORA_BATCH", "1", 1);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    int argc = 0;
    gStarted = wxInitialize(argc, static_cast<wxChar**>(nullptr));
    if (!gStarted) wxUninitialize();  // a failed start still counts as one level
}

void DialogTest::TearDownTestSuite() {
    if (gStarted) wxUninitialize();
    gStarted = false;
}

void DialogTest::SetUp() {
    // Without a display there is nothing to test; with one, a toolkit that does not start is a
    // failure, not a reason to pass over the test.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display for the toolkit";
    ASSERT_TRUE(gStarted) << "the toolkit did not start on display " << display;
    std::string pattern = (std::filesystem::temp_directory_path() / "tellora-dialog-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    temp = pattern;
    std::filesystem::create_directories(temp / "docs");
    ::setenv("TELLORA_DOCUMENTS_DIR", (temp / "docs").c_str(), 1);
    ::setenv("TELLORA_REGISTRY_ROOT", (temp / "registry").c_str(), 1);
    SetMessageBoxObserver([this](const MessageBoxRecord& box) {
        boxes.push_back(box);
        return boxAnswer;
    });
    assertions = 0;
    previousAssert = wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                                           const wxString& message) {
        ++assertions;
        ADD_FAILURE() << "toolkit assertion " << cond << " at " << file << ":" << line << ": " << message;
    });
    AppendTelloraParameters(list);
}

void DialogTest::TearDown() {
    if (!gStarted) return;
    delete dialog;
    dialog = nullptr;
    Settle(10);
    plugin.reset();
    document.reset();
    SetMessageBoxObserver(nullptr);
    wxSetAssertHandler(previousAssert);
    ::unsetenv("TELLORA_DOCUMENTS_DIR");
    ::unsetenv("TELLORA_REGISTRY_ROOT");
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
}

void DialogTest::Open(int32 width, int32 height) {
    document = std::make_unique<FakeDocument>(width, height);
    plugin = std::make_unique<TelloraPluginPS>();
    plugin->Init(&document->record, false, nullptr, &result, "Corvantis Tellora");
    plugin->Dispatch(99);  // no handler runs: only the current filter record is set
    plugin->inDialog = true;
    dialog = static_cast<TelloraUIBase*>(CreateTelloraDialog(plugin.get(), &list, nullptr));
    const std::pair<wxEventType, char> kinds[] = {
        {EVT_PARAM_BEGIN_CHANGE, 'B'}, {EVT_PARAM_CHANGING, 'G'}, {EVT_PARAM_CHANGED, 'C'}};
    for (auto [type, letter] : kinds)
        dialog->Bind(wxEventTypeTag<wxCommandEvent>(type), [this, letter = letter](wxCommandEvent& e) {
            events += (events.empty() ? "" : " ") + std::string(1, letter) + std::to_string(e.GetExtraLong());
            e.Skip();
        });
    preview = dialog->GetPreviewPanel();
    dialog->Show();
    for (int i = 0; i < 300 && document->displays == 0; ++i) Settle(10);
    ASSERT_GT(document->displays, 0) << "the preview never painted";
    events.clear();
}

void DialogTest::Settle(int ms) {
    for (int waited = 0; waited < ms; waited += 5) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

void DialogTest::Command(wxEventType type, int id) {
    wxWindow* window = dialog->FindWindow(id);
    ASSERT_NE(window, nullptr) << id;
    wxCommandEvent event(type, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

void DialogTest::Menu(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(event);
}

void DialogTest::Mouse(wxEventType type, int x, int y) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_MOTION;
    event.SetEventObject(preview);
    event.SetId(preview->GetId());
    preview->GetEventHandler()->ProcessEvent(event);
}

std::string DialogTest::TakeEvents() {
    std::string taken;
    taken.swap(events);
    return taken;
}

void PresetsTest::SetUp() {
    DialogTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
    folder = temp / "docs/Corvantis/Tellora/Presets";
    std::filesystem::create_directories(folder);
}

void PresetsTest::Write(const std::string& file, const std::string& text, double width) {
    PS::Parameters values;
    AppendTelloraParameters(values);
    values.parameters[kParamText].value.text = text;
    values.parameters[kParamEllipseWidth].value.SetFloat(width);
    ASSERT_TRUE(values.SavePreset((folder / file).wstring(), "Tellora", "1.0"));
}

double PresetsTest::WidthIn(const std::string& file) const {
    PS::Parameters values;
    AppendTelloraParameters(values);
    values.LoadPreset((folder / file).wstring());
    return values.parameters[kParamEllipseWidth].value.GetFloat();
}

std::vector<std::string> PresetsTest::Names() const {
    std::vector<std::string> names;
    for (const wxString& name : Find<wxListBox>(kIdPresetList)->GetStrings()) names.push_back(name.ToStdString(wxConvUTF8));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace dialog_test
