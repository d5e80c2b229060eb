// The script driver's windows: made from the descriptions, refusing what they lack
// with the errors the desktop program raises (tests/qt/QtControlsTest.cpp).
#include <gtest/gtest.h>

#include <sstream>

#include "ErrorOf.h"
#include "HeadlessControls.h"
#include "HeadlessDriver.h"
#include "frmMain.h"

namespace {
struct Windows : ::testing::Test {
    std::istringstream script;
    std::ostringstream out, err;
    ScriptDriver driver{script, out, err};
    HeadlessFormFactory factory{driver, frmMain::Windows()};
};

void ExpectError(const QuillonError& error, const std::string& source, const std::string& message) {
    EXPECT_EQ(error.Number, PlatformError::InvalidArgument);
    EXPECT_EQ(error.Source, source);
    EXPECT_EQ(error.Description, message);
}
}  // namespace

TEST_F(Windows, EveryDescribedControlAndNoOther) {
    for (const WindowDescription* described : frmMain::Windows()) {
        auto window = factory.CreateForm(*described);
        for (const ControlDescription& control : described->Controls)
            EXPECT_NE(window->Find(control.Name), nullptr) << control.Name;
    }
    auto main = factory.CreateForm(frmMain::Description());
    ExpectError(ErrorOf([&] { main->ButtonNamed("cmdNoSuchButton"); }), "Form",
                "The window frmMain has no button named cmdNoSuchButton");
    ExpectError(ErrorOf([&] { main->ButtonNamed("chkLog"); }), "Form",
                "The window frmMain has no button named chkLog");
    ExpectError(ErrorOf([&] { main->TextBoxNamed("udNumPlayers"); }), "Form",
                "The window frmMain has no text box named udNumPlayers");
    EXPECT_EQ(main->Find("cmdNoSuchButton"), nullptr);
}

TEST_F(Windows, AWindowNotDescribedIsRefused) {
    WindowDescription unknown = frmMain::Description();
    unknown.Name = "frmNoSuchWindow";
    ExpectError(ErrorOf([&] { factory.CreateForm(unknown); }), "FormFactory",
                "No window is named frmNoSuchWindow");
}
