// The question before a preset is replaced names the preset whole in the system's box, whatever
// its characters: the narrow box would read UTF-8 in the code page.
#include "ui/preset_question.h"

#include "hostsim/message_box_watch.h"

#include <gtest/gtest.h>

TEST(PresetQuestion, TheSystemsBoxShowsANameBeyondTheCodePageWhole) {
    hostsim::MessageBoxWatch watch(nullptr);
    EXPECT_FALSE(UserAllowsReplacingPreset(nullptr, wxString::FromUTF8("Grüße 北风")));
    ASSERT_EQ(watch.boxes().size(), 1u);
    EXPECT_EQ(watch.boxes()[0].text, "The preset \"Grüße 北风\" exists already. Replace it?");
    EXPECT_EQ(watch.boxes()[0].answer, IDNO);
}
