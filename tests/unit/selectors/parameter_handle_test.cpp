// The flat parameters handle: size, layout, resizing, and handles that do not fit the list.
#include "host/parameter_handle.h"
#include "selector_support.h"

#include <cmath>
#include <cstring>
#include <random>

using namespace Corvantis::Host::PS;
using Corvantis::Host::Param::Parameter;
using namespace selectors_test;

namespace {

class FlatHandleTest : public SelectorTest {
protected:
    // A list with every value moved away from its default.
    static Parameters EditedList() {
        Parameters list = TableList();
        auto& p = list.parameters;
        p[kParamShape].value.SetInteger(1);
        p[kParamEllipseWidth].value.SetFloat(321.5);
        p[kParamFillColor].value.SetColor(0.25, 0.5, 0.75);
        p[kParamText].value.text = "Hello, world";
        p[kParamBoundingBox].value.SetBoolean(false);
        p[kParamFontFacename].value.text = "Liberation Sans";
        p[kParamFontWeight].value.SetInteger(700);  // values outside the accepted ranges too
        p[kParamXIndicatorPosition].value.SetFloat(-10.0);
        p[kParamFontUnderline].value.SetBoolean(true);
        return list;
    }
};

TEST_F(FlatHandleTest, DefaultsMakeA467ByteHandleInListOrder) {
    Parameters list = TableList();
    ASSERT_EQ(FlattenParameters(&list, &host.record), 0);
    const std::string bytes = host.Bytes(host.record.parameters);
    ASSERT_EQ(bytes.size(), 467u);
    // Eight 24-byte payloads precede the text, which is followed by its zero byte.
    EXPECT_EQ(bytes.substr(8 * 24, 5), std::string("Text\0", 5));
    int32 shape = -1;
    std::memcpy(&shape, bytes.data(), 4);
    EXPECT_EQ(shape, 0);
    double width = 0;
    std::memcpy(&width, bytes.data() + 24, 8);
    EXPECT_EQ(width, 100.0);
    EXPECT_EQ(bytes.substr(8 * 24 + 5 + 7 * 24, 6), std::string("Arial\0", 6));
    EXPECT_EQ(host.LockCount(host.record.parameters), 0);

    Parameters oneText;
    oneText.parameters.push_back(Parameter("T", 1, std::string(), 0));
    host.DisposeHeldHandles();
    ASSERT_EQ(FlattenParameters(&oneText, &host.record), 0);
    EXPECT_EQ(host.Bytes(host.record.parameters), std::string(1, '\0'));
}

TEST_F(FlatHandleTest, RightSizedHandleIsKeptOtherSizesAreMadeExact) {
    Parameters list = TableList();
    host.record.parameters = host.NewHandleWith(std::string(467, 'x'));
    Handle before = host.record.parameters;
    host.called.clear();
    ASSERT_EQ(FlattenParameters(&list, &host.record), 0);
    EXPECT_TRUE(host.record.parameters == before);
    EXPECT_EQ(host.called.count(fake::Site::SetHandleSize), 0u) << "a handle of the right size is not resized";

    for (int size : {0, 1, 466, 468, 4000}) {
        host.DisposeHeldHandles();
        host.record.parameters = host.NewHandleWith(std::string(std::size_t(size), 'x'));
        ASSERT_EQ(FlattenParameters(&list, &host.record), 0);
        EXPECT_EQ(host.Bytes(host.record.parameters).size(), 467u) << "from " << size;
    }
}

TEST_F(FlatHandleTest, HostFailuresAreReturned) {
    Parameters list = TableList();
    host.FailAt(fake::Site::NewHandle);
    EXPECT_EQ(FlattenParameters(&list, &host.record), memFullErr);
    EXPECT_TRUE(host.record.parameters == nullptr);

    host.record.parameters = host.NewHandleWith("short");
    host.FailAt(fake::Site::SetHandleSize);
    EXPECT_EQ(FlattenParameters(&list, &host.record), memFullErr);
    EXPECT_EQ(host.Bytes(host.record.parameters), "short") << "nothing written into a handle that kept its size";

    host.FailAt(fake::Site::LockHandle);
    EXPECT_EQ(FlattenParameters(&list, &host.record), memFullErr);

    Parameters empty;
    host.hasFault = false;
    EXPECT_EQ(FlattenParameters(&empty, &host.record), 0);
    EXPECT_EQ(host.Bytes(host.record.parameters).size(), 467u) << "a list of no bytes leaves the handle alone";
}

// Every prefix of a valid handle: values wholly inside it are read, the rest keep their
// defaults, and a cut text runs to the end of the handle. The fake host's blocks are exactly
// as long as their size, so the sanitizer build catches any read past the end.
TEST_F(FlatHandleTest, ShortHandleIsReadOnlyAsFarAsItGoes) {
    Parameters edited = EditedList();
    ASSERT_EQ(FlattenParameters(&edited, &host.record), 0);
    const std::string full = host.Bytes(host.record.parameters);
    const std::size_t textStart = 8 * 24;

    for (std::size_t size = 0; size <= full.size(); ++size) {
        host.DisposeHeldHandles();
        host.record.parameters = host.NewHandleWith(full.substr(0, size));
        Parameters list = TableList();
        EXPECT_EQ(UnflattenParameters(&list, &host.record), 0);
        const auto& p = list.parameters;
        EXPECT_EQ(p[kParamShape].value.GetInteger(), size >= 24 ? 1 : 0) << size;
        EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), size < 2 * 24 ? 100.0 : 321.5) << size;
        if (size > textStart && size <= textStart + 12) {
            EXPECT_EQ(p[kParamText].value.text, std::string("Hello, world").substr(0, size - textStart)) << size;
        }
        EXPECT_EQ(p[kParamFontUnderline].value.GetBoolean(), size == full.size()) << size;
    }
    // The whole handle gives back every value.
    Parameters list = TableList();
    UnflattenParameters(&list, &host.record);
    for (std::size_t i = 0; i < list.parameters.size(); ++i)
        EXPECT_EQ(list.parameters[i].value, edited.parameters[i].value) << "parameter " << i;
}

TEST_F(FlatHandleTest, TextWithoutZeroByteEndsAtTheHandle) {
    Parameters list;
    list.parameters.push_back(Parameter("Count", 1, int32{5}, 0, 0, 10));
    list.parameters.push_back(Parameter("Words", 2, std::string("default"), 0));
    list.parameters.push_back(Parameter("After", 3, std::string("kept"), 0));
    std::string bytes(24, '\0');
    bytes[0] = 7;
    bytes += "no zero here";
    host.record.parameters = host.NewHandleWith(bytes);
    EXPECT_EQ(UnflattenParameters(&list, &host.record), 0);
    EXPECT_EQ(list.parameters[0].value.GetInteger(), 7);
    EXPECT_EQ(list.parameters[1].value.text, "no zero here");
    EXPECT_EQ(list.parameters[2].value.text, "kept");
}

TEST_F(FlatHandleTest, GarbageHandlesOfAnySizeAreReadSafely) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        const std::size_t size = random() % 600;
        std::string bytes(size, '\0');
        for (char& c : bytes) c = char(random() % 4 == 0 ? 0 : random());
        host.DisposeHeldHandles();
        host.record.parameters = host.NewHandleWith(bytes);
        Parameters list = TableList();
        EXPECT_EQ(UnflattenParameters(&list, &host.record), 0);
        // Whatever was read flattens again into a handle of the size the values need.
        ASSERT_EQ(FlattenParameters(&list, &host.record), 0);
        EXPECT_EQ(host.Bytes(host.record.parameters).size(), FlatParametersSize(list));
    }
}

TEST_F(FlatHandleTest, NumbersThatAreNotFiniteKeepTheListsValues) {
    Parameters stored = EditedList();
    stored.parameters[kParamEllipseWidth].value.SetFloat(HUGE_VAL);
    stored.parameters[kParamFontSize].value.SetFloat(std::nan(""));
    stored.parameters[kParamFillColor].value.SetColor(0.5, -HUGE_VAL, 0.5);
    ASSERT_EQ(FlattenParameters(&stored, &host.record), 0);
    Parameters list = TableList();
    ASSERT_EQ(UnflattenParameters(&list, &host.record), 0);
    const auto& p = list.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 100.0);
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 12.0);
    EXPECT_EQ(p[kParamFillColor].value.GetColor().green, 1.0);
    EXPECT_EQ(p[kParamText].value.text, "Hello, world") << "the values after them are read";
}

TEST_F(FlatHandleTest, TextIsStoredUpToAnEmbeddedZero) {
    Parameters list = TableList();
    list.parameters[kParamText].value.text = std::string("ab\0cd", 5);
    ASSERT_EQ(FlattenParameters(&list, &host.record), 0);
    EXPECT_EQ(host.Bytes(host.record.parameters).size(), 467u - 5 + 3);
    Parameters back = TableList();
    UnflattenParameters(&back, &host.record);
    EXPECT_EQ(back.parameters[kParamText].value.text, "ab");
    EXPECT_EQ(back.parameters[kParamFontFacename].value.text, "Arial") << "values after the text stay in place";
}

}  // namespace
