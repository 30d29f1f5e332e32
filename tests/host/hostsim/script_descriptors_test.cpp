#include "hostsim/host_session.h"
#include "hostsim/script_descriptors.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace hostsim;

namespace {

constexpr DescriptorKeyID kA = FourCC("Keya");
constexpr DescriptorKeyID kB = FourCC("Keyb");
constexpr DescriptorKeyID kC = FourCC("Keyc");

// The record's procs used the way a plug-in uses them, inside a call scope.
class ScriptDescriptorsTest : public ::testing::Test {
protected:
    PIDescriptorParameters& Params() { return *session_.filterRecord().descriptorParameters; }
    WriteDescriptorProcs& Write() { return *Params().writeDescriptorProcs; }
    ReadDescriptorProcs& Read() { return *Params().readDescriptorProcs; }
    Handle Text(const std::string& text) {
        return session_.handles().NewFrom(std::vector<uint8>(text.begin(), text.end()));
    }

    HostSession session_;
};

}  // namespace

TEST_F(ScriptDescriptorsTest, WrittenValuesArriveInTheDescriptorHandle) {
    HostSession::CallScope scope(session_);
    PIWriteDescriptor object = Write().openWriteDescriptorProc();
    const double half = 0.5;
    ASSERT_EQ(Write().putFloatProc(object, FourCC("Rd  "), &half), noErr);
    PIDescriptorHandle objectHandle = nullptr;
    ASSERT_EQ(Write().closeWriteDescriptorProc(object, &objectHandle), noErr);

    PIWriteDescriptor token = Write().openWriteDescriptorProc();
    ASSERT_NE(token, nullptr);
    const double fifty = 50;
    EXPECT_EQ(Write().putIntegerProc(token, kA, -3), noErr);
    EXPECT_EQ(Write().putUnitFloatProc(token, kB, unitPercent, &fifty), noErr);
    EXPECT_EQ(Write().putBooleanProc(token, kC, 1), noErr);
    EXPECT_EQ(Write().putTextProc(token, FourCC("Text"), Text("Hi")), noErr);
    EXPECT_EQ(Write().putEnumeratedProc(token, FourCC("Enum"), FourCC("Wzab"), FourCC("Wzad")), noErr);
    EXPECT_EQ(Write().putObjectProc(token, FourCC("Colr"), FourCC("RGBC"), objectHandle), noErr);
    EXPECT_EQ(Write().putIntegerProc(token, kA, 7), noErr) << "a key written again is replaced";
    ASSERT_EQ(Write().closeWriteDescriptorProc(token, &Params().descriptor), noErr);

    Descriptor color;
    color.Put(FourCC("Rd  "), DescriptorValue::Float(0.5));
    Descriptor expected;
    expected.Put(kA, DescriptorValue::Integer(7));
    expected.Put(kB, DescriptorValue::UnitFloat(unitPercent, 50));
    expected.Put(kC, DescriptorValue::Boolean(true));
    expected.Put(FourCC("Text"), DescriptorValue::Text("Hi"));
    expected.Put(FourCC("Enum"), DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Wzad")));
    expected.Put(FourCC("Colr"), DescriptorValue::Object(FourCC("RGBC"), color));
    const auto taken = session_.scriptDescriptors().Take(session_.handles());
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, expected);
    EXPECT_EQ(Params().descriptor, nullptr);
    // The text and object handles were taken over by the host, and the descriptor disposed.
    EXPECT_EQ(session_.handles().Outstanding(), 0u);
    EXPECT_EQ(session_.scriptDescriptors().OpenWriteTokens(), 0u);
}

TEST_F(ScriptDescriptorsTest, ReadsFollowTheDescriptorAndCoerceNumbers) {
    Descriptor color;
    color.Put(FourCC("Grn "), DescriptorValue::Float(0.25));
    Descriptor d;
    d.Put(kA, DescriptorValue::Float(12));
    d.Put(kB, DescriptorValue::Text("caf\xC3\xA9"));
    d.Put(kC, DescriptorValue::Object(FourCC("RGBC"), color));
    ASSERT_TRUE(session_.scriptDescriptors().Offer(session_.handles(), d, plugInDialogSilent));
    EXPECT_EQ(Params().playInfo, plugInDialogSilent);

    HostSession::CallScope scope(session_);
    DescriptorKeyID keys[] = {kA, kB, kC, 0};
    PIReadDescriptor token = Read().openReadDescriptorProc(Params().descriptor, keys);
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(session_.scriptDescriptors().expectedKeys(), (std::vector<DescriptorKeyID>{kA, kB, kC}));

    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    int32 flags = -1;
    ASSERT_TRUE(Read().getKeyProc(token, &key, &type, &flags));
    EXPECT_EQ(key, kA);
    EXPECT_EQ(type, typeFloat);
    EXPECT_EQ(flags, 0);
    DescriptorUnitID unit = 0;
    double value = 0;
    EXPECT_EQ(Read().getUnitFloatProc(token, &unit, &value), noErr);
    EXPECT_EQ(unit, unitNone);
    EXPECT_EQ(value, 12.0);
    int32 whole = 0;
    EXPECT_EQ(Read().getIntegerProc(token, &whole), noErr);
    EXPECT_EQ(whole, 12);

    ASSERT_TRUE(Read().getKeyProc(token, &key, &type, nullptr));
    Handle text = nullptr;
    ASSERT_EQ(Read().getTextProc(token, &text), noErr);
    EXPECT_EQ(session_.handles().Bytes(text), (std::vector<uint8>{'c', 'a', 'f', 0xC3, 0xA9})) << "no zero appended";
    session_.handles().Dispose(text);
    Boolean flag = 0;
    EXPECT_EQ(Read().getBooleanProc(token, &flag), kErrWrongType);

    ASSERT_TRUE(Read().getKeyProc(token, &key, &type, nullptr));
    EXPECT_EQ(type, typeObject);
    PIDescriptorHandle object = nullptr;
    ASSERT_EQ(Read().getObjectProc(token, nullptr, &object), noErr);
    EXPECT_EQ(DescriptorFromHandle(session_.handles(), object), color);
    session_.handles().Dispose(object);
    EXPECT_FALSE(Read().getKeyProc(token, &key, &type, nullptr));

    EXPECT_EQ(Read().closeReadDescriptorProc(token), kErrWrongType) << "close reports the first failed read";
    EXPECT_EQ(session_.scriptDescriptors().OpenReadTokens(), 0u);
    EXPECT_TRUE(session_.problems().empty());
}

// As an editor's host: the close answers errMissingParameter when a key of the open's array
// never came from getKeyProc, unless a read failed first; each token keeps its own array.
TEST_F(ScriptDescriptorsTest, CloseTellsOfExpectedKeysThatNeverCame) {
    struct Case {
        std::vector<DescriptorKeyID> held;
        std::vector<DescriptorKeyID> expected;  // the key array, without its 0
        bool failARead;
        OSErr closed;
    };
    const Case cases[] = {
        {{kA, kB}, {kA, kB}, false, noErr},
        {{kA, kB, kC}, {kB}, false, noErr},
        {{kA}, {}, false, noErr},
        {{kA}, {kA, kB}, false, errMissingParameter},
        {{}, {kC}, false, errMissingParameter},
        {{kA}, {kA, kB}, true, kErrWrongType},
    };
    HostSession::CallScope scope(session_);
    for (const Case& c : cases) {
        Descriptor d;
        for (const DescriptorKeyID key : c.held) d.Put(key, DescriptorValue::Integer(1));
        std::vector<DescriptorKeyID> keys = c.expected;
        keys.push_back(0);
        const Handle h = DescriptorToHandle(session_.handles(), d);
        PIReadDescriptor token = Read().openReadDescriptorProc(h, keys.data());
        ASSERT_NE(token, nullptr);
        // An object read inside opens a token of its own, with no keys expected.
        const Handle inner = DescriptorToHandle(session_.handles(), Descriptor{});
        const PIReadDescriptor object = Read().openReadDescriptorProc(inner, nullptr);
        EXPECT_EQ(Read().closeReadDescriptorProc(object), noErr);
        DescriptorKeyID key = 0;
        DescriptorTypeID type = 0;
        while (Read().getKeyProc(token, &key, &type, nullptr)) {
            Boolean wrong = 0;
            if (c.failARead) Read().getBooleanProc(token, &wrong);
        }
        EXPECT_EQ(Read().closeReadDescriptorProc(token), c.closed) << c.held.size() << " held, " << c.expected.size();
        session_.handles().Dispose(h);
        session_.handles().Dispose(inner);
    }
    EXPECT_TRUE(session_.problems().empty());
}

TEST_F(ScriptDescriptorsTest, MisusedTokensAndHandlesAreRefusedAndReported) {
    HostSession::CallScope scope(session_);
    PIWriteDescriptor token = Write().openWriteDescriptorProc();
    char* master = nullptr;
    EXPECT_EQ(Write().putTextProc(token, kA, reinterpret_cast<Handle>(&master)), nilHandleErr);
    EXPECT_EQ(Write().putFloatProc(token, kB, nullptr), paramErr);
    PIDescriptorHandle out = nullptr;
    EXPECT_EQ(Write().closeWriteDescriptorProc(token, &out), nilHandleErr) << "close reports the first failed write";
    ASSERT_NE(out, nullptr);
    session_.handles().Dispose(out);
    EXPECT_EQ(Write().putIntegerProc(token, kA, 1), paramErr) << "the token is closed";
    EXPECT_EQ(Write().closeWriteDescriptorProc(token, &out), paramErr);

    EXPECT_EQ(Read().openReadDescriptorProc(reinterpret_cast<Handle>(&master), nullptr), nullptr);
    EXPECT_EQ(Read().openReadDescriptorProc(Text("'abc' broken"), nullptr), nullptr);
    PIReadDescriptor stale = Read().openReadDescriptorProc(Text(""), nullptr);
    ASSERT_NE(stale, nullptr);
    int32 value = 0;
    EXPECT_EQ(Read().getIntegerProc(stale, &value), kErrKeyNotFound) << "no key read yet";
    EXPECT_EQ(Read().closeReadDescriptorProc(stale), kErrKeyNotFound);
    DescriptorKeyID key;
    DescriptorTypeID type;
    EXPECT_FALSE(Read().getKeyProc(stale, &key, &type, nullptr));
    EXPECT_EQ(Read().closeReadDescriptorProc(stale), paramErr);
    EXPECT_EQ(session_.problems().count(), 9u);
    EXPECT_TRUE(session_.problems().Contains("putTextProc: the text handle is not a handle of this host"));
    EXPECT_TRUE(session_.problems().Contains("openReadDescriptorProc: the handle holds no descriptor"));
}

TEST_F(ScriptDescriptorsTest, ProcsCanFailFromAGivenCallOrBeWithheld) {
    session_.callbacks().Set(HostCallback::PutFloat, CallbackMode::Failing, -42, 2);
    session_.callbacks().Set(HostCallback::GetText, CallbackMode::Absent);
    session_.ResetFilterRecord();
    HostSession::CallScope scope(session_);
    EXPECT_EQ(Read().getTextProc, nullptr);
    EXPECT_NE(Read().getFloatProc, nullptr);
    PIWriteDescriptor token = Write().openWriteDescriptorProc();
    const double one = 1;
    EXPECT_EQ(Write().putFloatProc(token, kA, &one), noErr);
    EXPECT_EQ(Write().putFloatProc(token, kB, &one), -42);
    PIDescriptorHandle out = nullptr;
    EXPECT_EQ(Write().closeWriteDescriptorProc(token, &out), -42);
    EXPECT_EQ(DescriptorFromHandle(session_.handles(), out)->Count(), 1u);

    HostOptions options;
    options.readDescriptorProcs = false;
    session_.SetOptions(options);
    EXPECT_EQ(Params().readDescriptorProcs, nullptr);
    EXPECT_NE(Params().writeDescriptorProcs, nullptr);
    options.descriptorParameters = false;
    session_.SetOptions(options);
    EXPECT_TRUE(session_.filterRecord().descriptorParameters == nullptr);
}
