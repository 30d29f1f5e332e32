#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "test_support.h"

using namespace Corvantis::Host::Param;
using tellora_test::TableList;

namespace {
// Global allocation that can be made to fail, to reach exception paths.
int g_allocationsLeft = -1;
}  // namespace

// The replacement pair below is consistent (malloc/free); GCC cannot see that.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (g_allocationsLeft == 0)
        throw std::bad_alloc();
    if (g_allocationsLeft > 0)
        --g_allocationsLeft;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

ParameterValue& Width(Parameters& p) { return p.parameters[kParamEllipseWidth].value; }

TEST(History, StepsWithAndWithoutAGroup) {
    auto params = TableList();
    EXPECT_FALSE(params.Undo());
    EXPECT_FALSE(params.Redo());
    for (double v : {50.0, 60.0}) {
        params.RecordChange(kParamEllipseWidth);
        Width(params).SetFloat(v);
    }
    EXPECT_EQ(params.undo.size(), 2u);

    params.BeginGroup();
    for (double v : {70.0, 80.0}) {
        params.RecordChange(kParamEllipseWidth);
        Width(params).SetFloat(v);
    }
    params.EndGroup();
    ASSERT_EQ(params.undo.size(), 3u);
    EXPECT_EQ(params.undo.front().at(kParamEllipseWidth).GetFloat(), 60.0) << "first old value wins";
    params.BeginGroup();
    params.EndGroup();
    EXPECT_EQ(params.undo.size(), 3u) << "an empty group leaves no step";

    for (double expected : {60.0, 50.0, 100.0}) {
        EXPECT_TRUE(params.Undo());
        EXPECT_EQ(Width(params).GetFloat(), expected);
    }
    EXPECT_FALSE(params.Undo());
}

TEST(History, RecordAllIsOneStepOfEveryValue) {
    auto params = TableList();
    params.RecordChange(kParamEllipseWidth);
    ASSERT_TRUE(params.Undo());
    ASSERT_TRUE(params.CanRedo());
    params.RecordAll();
    EXPECT_EQ(params.groupDepth, 0);
    ASSERT_EQ(params.undo.size(), 1u);
    EXPECT_EQ(params.undo.front().size(), 21u);
    EXPECT_FALSE(params.CanRedo());

    Corvantis::Host::PS::Parameters empty;
    empty.redo.push_front({{0, ParameterValue()}});
    empty.RecordAll();
    EXPECT_TRUE(empty.undo.empty());
    EXPECT_EQ(empty.redo.size(), 1u) << "nothing recorded, redo as it was";
}

TEST(History, UndoRedoRestoreExactlyAndCopiesAreIndependent) {
    auto params = TableList();
    const auto defaults = params.parameters;
    params.RecordAll();
    params.parameters[kParamText].value.text = "changed";
    params.parameters[kParamFillColor].value.SetColor(0.1, 0.2, 0.3);
    Width(params).SetFloat(321.0);
    const auto edited = params.parameters;

    Corvantis::Host::PS::Parameters copy(params);
    EXPECT_TRUE(params.Undo());
    EXPECT_EQ(params.parameters, defaults);
    EXPECT_TRUE(params.Redo());
    EXPECT_EQ(params.parameters, edited);
    EXPECT_FALSE(params.CanRedo());
    EXPECT_TRUE(params.Undo());
    params.RecordChange(kParamEllipseWidth);
    EXPECT_FALSE(params.CanRedo()) << "a new edit drops redo";

    EXPECT_EQ(copy.parameters, edited);
    EXPECT_EQ(copy.undo.size(), 1u);
    EXPECT_TRUE(copy.Undo());
    EXPECT_EQ(copy.parameters, defaults);
}

TEST(History, IndicesOutsideTheListAreIgnored) {
    auto params = TableList();
    params.RecordChange(21);
    params.RecordChange(~std::uint64_t{0});
    EXPECT_TRUE(params.undo.empty());
    // History kept across emptying the list must not reach past its end.
    params.RecordAll();
    params.parameters.resize(3);
    EXPECT_TRUE(params.Undo());
    ASSERT_EQ(params.redo.size(), 1u);
    EXPECT_EQ(params.redo.front().size(), 3u);
}

TEST(History, RecordAllClosesItsGroupWhenRecordingThrows) {
    auto params = TableList();
    params.parameters[kParamText].value.text.assign(100, 'x');
    g_allocationsLeft = 5;
    EXPECT_THROW(params.RecordAll(), std::bad_alloc);
    g_allocationsLeft = -1;
    EXPECT_EQ(params.groupDepth, 0);
    ASSERT_EQ(params.undo.size(), 1u);
    EXPECT_LT(params.undo.front().size(), 21u);
    params.RecordChange(kParamEllipseWidth);
    EXPECT_EQ(params.undo.size(), 2u) << "no group left open";
}

TEST(History, ResetToDefaultsRestoresTextAndRecordsNothing) {
    auto params = TableList();
    params.parameters[kParamFontFacename].value.text = "Courier";
    Width(params).SetFloat(1.0);
    params.ResetToDefaults();
    EXPECT_EQ(params.parameters, TableList().parameters);
    EXPECT_TRUE(params.undo.empty());
}

}  // namespace
