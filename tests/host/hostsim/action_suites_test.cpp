#include "hostsim/action_suites.h"
#include "hostsim/descriptor_registry.h"
#include "hostsim/descriptor_text.h"
#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/state_folder.h"
#include "test_support.h"

#include <cstring>

using namespace hostsim;
using hostsim_test::TempPath;

namespace {

constexpr DescriptorKeyID kKey = FourCC("Keya");

// The suites acquired through the session's basic suite, as a plug-in gets them.
class ActionSuitesTest : public ::testing::Test {
protected:
    void SetUp() override { Acquire(); }

    void Acquire() {
        SPBasicSuite* basic = session_.filterRecord().sSPBasic;
        const void* table = nullptr;
        ASSERT_EQ(basic->AcquireSuite(kPSActionDescriptorSuite, 2, &table), kSPNoError);
        ad_ = static_cast<const PSActionDescriptorProcs*>(table);
        ASSERT_EQ(basic->AcquireSuite(kPSActionReferenceSuite, 3, &table), kSPNoError);
        ar_ = static_cast<const PSActionReferenceProcs*>(table);
        ASSERT_EQ(basic->AcquireSuite(kPSActionControlSuite, 2, &table), kSPNoError);
        ac_ = static_cast<const PSActionControlProcs*>(table);
        ASSERT_EQ(basic->AcquireSuite(kPSDescriptorRegistrySuite, 1, &table), kSPNoError);
        dr_ = static_cast<const PSDescriptorRegistryProcs*>(table);
    }

    HostSession session_;
    HostSession::CallScope scope_{session_};
    const PSActionDescriptorProcs* ad_ = nullptr;
    const PSActionReferenceProcs* ar_ = nullptr;
    const PSActionControlProcs* ac_ = nullptr;
    const PSDescriptorRegistryProcs* dr_ = nullptr;
};

}  // namespace

TEST_F(ActionSuitesTest, DescriptorsHoldTypedValuesAndCopyWhatIsPutIn) {
    PIActionDescriptor d = nullptr;
    PIActionDescriptor object = nullptr;
    ASSERT_EQ(ad_->Make(&d), noErr);
    ASSERT_EQ(ad_->Make(&object), noErr);
    ASSERT_EQ(ad_->PutFloat(object, FourCC("Rd  "), 0.5), noErr);
    ASSERT_EQ(ad_->PutObject(d, kKey, FourCC("RGBC"), object), noErr);
    ASSERT_EQ(ad_->PutFloat(object, FourCC("Rd  "), 0.9), noErr);
    ASSERT_EQ(ad_->Free(object), noErr);
    ASSERT_EQ(ad_->PutString(d, FourCC("Text"), "Hello"), noErr);
    ASSERT_EQ(ad_->PutInteger(d, FourCC("Long"), 3), noErr);

    DescriptorClassID classId = 0;
    PIActionDescriptor copy = nullptr;
    ASSERT_EQ(ad_->GetObject(d, kKey, &classId, &copy), noErr);
    EXPECT_EQ(classId, FourCC("RGBC"));
    double red = 0;
    EXPECT_EQ(ad_->GetFloat(copy, FourCC("Rd  "), &red), noErr);
    EXPECT_EQ(red, 0.5) << "the object was copied when it was put";
    EXPECT_EQ(ad_->Free(copy), noErr);

    uint32 length = 0;
    EXPECT_EQ(ad_->GetStringLength(d, FourCC("Text"), &length), noErr);
    EXPECT_EQ(length, 5u);
    char text[4];
    EXPECT_EQ(ad_->GetString(d, FourCC("Text"), text, sizeof text), noErr);
    EXPECT_STREQ(text, "Hel") << "the text is cut to the buffer, with its zero";
    double asFloat = 0;
    EXPECT_EQ(ad_->GetFloat(d, FourCC("Long"), &asFloat), noErr);
    EXPECT_EQ(asFloat, 3.0);
    Boolean flag = 0;
    EXPECT_EQ(ad_->GetBoolean(d, FourCC("Long"), &flag), kErrWrongType);
    EXPECT_EQ(ad_->GetInteger(d, FourCC("None"), reinterpret_cast<int32*>(&length)), kErrKeyNotFound);
    uint32 count = 0;
    EXPECT_EQ(ad_->GetCount(d, &count), noErr);
    EXPECT_EQ(count, 3u);
    DescriptorKeyID key = 0;
    EXPECT_EQ(ad_->GetKey(d, 1, &key), noErr);
    EXPECT_EQ(key, FourCC("Text"));
    EXPECT_EQ(ad_->GetKey(d, 3, &key), paramErr);
    EXPECT_EQ(ad_->Free(d), noErr);
    EXPECT_EQ(session_.actionSuites().OutstandingDescriptors(), 0u);
    EXPECT_TRUE(session_.problems().empty());

    // A freed descriptor is refused, not touched.
    EXPECT_EQ(ad_->PutInteger(d, kKey, 1), paramErr);
    EXPECT_EQ(ad_->Free(d), paramErr);
    EXPECT_EQ(ad_->PutObject(nullptr, kKey, 0, nullptr), paramErr);
    EXPECT_EQ(session_.problems().count(), 3u);
}

TEST_F(ActionSuitesTest, ControlAnswersTheDocumentResolution) {
    Document document = session_.document();
    document.resolution = 300;
    session_.SetDocument(document);

    PIActionReference ref = nullptr;
    ASSERT_EQ(ar_->Make(&ref), noErr);
    ASSERT_EQ(ar_->PutProperty(ref, FourCC("Prpr"), FourCC("Rslt")), noErr);
    ASSERT_EQ(ar_->PutEnumerated(ref, FourCC("Dcmn"), FourCC("Ordn"), FourCC("Trgt")), noErr);
    DescriptorEnumID form = 0;
    EXPECT_EQ(ar_->GetForm(ref, &form), noErr);
    EXPECT_EQ(form, FourCC("Prpr"));

    PIActionDescriptor result = nullptr;
    ASSERT_EQ(ac_->Get(&result, ref), noErr);
    uint32 count = 0;
    ad_->GetCount(result, &count);
    EXPECT_EQ(count, 1u) << "only the property asked for";
    DescriptorUnitID unit = 0;
    double resolution = 0;
    EXPECT_EQ(ad_->GetUnitFloat(result, FourCC("Rslt"), &unit, &resolution), noErr);
    EXPECT_EQ(unit, unitDensity);
    EXPECT_EQ(resolution, 300.0);
    ad_->Free(result);
    ar_->Free(ref);

    // A property the document lacks, and an object the host does not have.
    ar_->Make(&ref);
    ar_->PutProperty(ref, FourCC("Prpr"), FourCC("Nope"));
    ar_->PutEnumerated(ref, FourCC("Dcmn"), FourCC("Ordn"), FourCC("Trgt"));
    EXPECT_EQ(ac_->Get(&result, ref), kErrNoSuchObject);
    EXPECT_EQ(result, nullptr);
    ar_->Free(ref);
    ar_->Make(&ref);
    ar_->PutEnumerated(ref, FourCC("Lyr "), FourCC("Ordn"), FourCC("Trgt"));
    EXPECT_EQ(ac_->Get(&result, ref), kErrNoSuchObject);
    ar_->Free(ref);

    DescriptorTypeID id = 0;
    ASSERT_EQ(ac_->StringIDToTypeID("fontSize", &id), noErr);
    DescriptorTypeID again = 0;
    ac_->StringIDToTypeID("fontSize", &again);
    EXPECT_EQ(id, again);
    char name[16];
    EXPECT_EQ(ac_->TypeIDToStringID(id, name, sizeof name), noErr);
    EXPECT_STREQ(name, "fontSize");
    EXPECT_EQ(session_.actionSuites().OutstandingReferences(), 0u);
}

TEST_F(ActionSuitesTest, TheRegistryKeepsPersistentEntriesInItsFile) {
    const std::string file = TempPath("registry.txt");
    std::remove(file.c_str());
    session_.actionSuites().SetRegistry(std::make_shared<DescriptorRegistry>(file));

    PIActionDescriptor d = nullptr;
    ad_->Make(&d);
    ad_->PutFloat(d, kKey, 24);
    ASSERT_EQ(dr_->Register("Kept", d, true), noErr);
    ASSERT_EQ(dr_->Register("Gone", d, false), noErr);
    ad_->Free(d);

    PIActionDescriptor got = reinterpret_cast<PIActionDescriptor>(1);
    EXPECT_EQ(dr_->Get("Missing", &got), noErr);
    EXPECT_EQ(got, nullptr) << "no entry is no error";
    ASSERT_EQ(dr_->Get("Gone", &got), noErr);
    ASSERT_NE(got, nullptr);
    ad_->Free(got);

    // Another process sees only the persistent entry.
    DescriptorRegistry next(file);
    EXPECT_EQ(next.Keys(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(next.Get("Kept")->Find(kKey)->number, 24.0);

    EXPECT_EQ(dr_->Erase("Kept"), noErr);
    EXPECT_EQ(dr_->Erase("Kept"), kErrKeyNotFound);
    EXPECT_TRUE(DescriptorRegistry(file).Keys().empty());
    EXPECT_EQ(dr_->Register(nullptr, d, true), paramErr);

    WriteStateFile(file, "entry \"x\" {\n 'abcd' integer\n}\n");
    DescriptorRegistry broken(file);
    try {
        broken.Load();
        FAIL() << "a malformed registry file loads";
    } catch (const HostError& e) {
        EXPECT_EQ(std::string(e.what()), file + ":3: expected an integer, found '}'");
    }
}

TEST_F(ActionSuitesTest, FunctionsAndSuitesCanFailOrBeWithheld) {
    session_.callbacks().SetSuiteFunction("DescriptorRegistry.*", CallbackMode::Failing, -7);
    session_.callbacks().SetSuiteFunction("ActionDescriptor.PutFloat", CallbackMode::Absent);
    session_.ResetFilterRecord();
    PIActionDescriptor d = nullptr;
    EXPECT_EQ(dr_->Get("x", &d), -7);
    EXPECT_EQ(ad_->PutFloat, nullptr);
    EXPECT_NE(ad_->PutInteger, nullptr);
    EXPECT_EQ(session_.callbacks().SuiteFunctionCalls("DescriptorRegistry.Get"), 1);

    session_.basicSuite().SetEnabled(SuiteIdFor("ActionControl"), false);
    const void* table = nullptr;
    EXPECT_EQ(session_.filterRecord().sSPBasic->AcquireSuite(kPSActionControlSuite, 2, &table), kSPSuiteNotFoundError);
    // Every listed function is one of the tables' entries.
    EXPECT_EQ(ActionSuiteFunctionNames().size(), 35u + 11u + 4u + 3u);
}
