#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

#include "platform/qt/circle_progress.h"
#include "platform/qt/device_key_button.h"
#include "platform/qt/image_button.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/select_panel.h"
#include "qt_test_environment.h"
#include "ui/language.h"

namespace korvane::qt {
namespace {

using test::LoadedPage;

TEST(SkinLoader, CreatesTheSkinsCustomClassesByName) {
    LoadedPage page;
    ASSERT_NE(page.root, nullptr) << page.loader.errorString().toStdString();
    ui::Control* root = QtControl::of(page.root);

    struct Case {
        const char* name;
        const char* className;
        ui::ControlKind kind;
    };
    const Case cases[] = {
        {"device_key_light", "SelectPanel", ui::ControlKind::Container},
        {"key_0", "DeviceKeyButton", ui::ControlKind::Option},
        {"power_progress", "CircleProgress", ui::ControlKind::Progress},
        {"setbtn", "HandImgButton", ui::ControlKind::Button},
        {"hand_select", "HandImgSelectButton", ui::ControlKind::Option},
        {"redio_a", "RedioMacroButton", ui::ControlKind::Option},
        {"device_tab", "DeviceOption", ui::ControlKind::Container},  // not built yet: a container
        {"closebtn", "QPushButton", ui::ControlKind::Button},
        {"Deng_7color_check", "QCheckBox", ui::ControlKind::Option},
        {"DPI_slider_1", "QSlider", ui::ControlKind::Slider},
        {"light_combo_modeSelect", "QComboBox", ui::ControlKind::Combo},
        {"deng_edit_R", "QLineEdit", ui::ControlKind::Edit},
        {"macro_name_list", "QListWidget", ui::ControlKind::List},
        {"device_function_switch", "QStackedWidget", ui::ControlKind::Tab},
        {"tabs", "QTabWidget", ui::ControlKind::Tab},
        {"title_label", "QLabel", ui::ControlKind::Label},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::Control* control = root->find(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->className(), c.className);
        EXPECT_EQ(control->kind(), c.kind);
    }
    EXPECT_NE(page.get<SelectPanel>("device_key_light"), nullptr);
    EXPECT_NE(page.get<DeviceKeyButton>("Light_2"), nullptr);
    EXPECT_NE(page.get<CircleProgress>("power_progress"), nullptr);
    EXPECT_NE(page.get<RedioMacroButton>("redio_b"), nullptr);
    EXPECT_NE(page.get<QFrame>("device_tab"), nullptr);
    EXPECT_EQ(root->findClass("devicekeybutton")->name(), "key_0");
}

TEST(SkinLoader, FindsControlsWithoutCaseThroughEveryContainer) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);
    EXPECT_EQ(root->find("ROOT"), root);
    ASSERT_NE(root->find("DENG_7COLOR_CHECK"), nullptr);
    EXPECT_EQ(root->find("deng_7color_check")->name(), "Deng_7color_check");
    EXPECT_EQ(root->find("no_such_control"), nullptr);
    // Through a tab widget's and a scroll area's internal parts.
    ui::Control* deep = root->find("Deep_Label");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->parent()->name(), "tabpage1");
    EXPECT_EQ(deep->parent()->parent()->name(), "tabs");
    ui::Control* scrolled = root->find("scrolled_btn");
    ASSERT_NE(scrolled, nullptr);
    EXPECT_EQ(scrolled->parent()->parent()->name(), "scroll");

    std::vector<std::string> tabPages;
    for (ui::Control* c : root->find("tabs")->children()) {
        tabPages.push_back(c->name());
    }
    EXPECT_EQ(tabPages, (std::vector<std::string>{"tabpage0", "tabpage1"}));
    EXPECT_EQ(root->find("device_key_light")->children().size(), 3u);
    // Leaves show no internal parts as controls.
    EXPECT_TRUE(root->find("light_combo_modeSelect")->children().empty());
    EXPECT_TRUE(root->find("macro_name_list")->children().empty());
    EXPECT_EQ(root->parent(), nullptr);  // a window is the top of its tree
    // Lookups from inside a container stay inside it.
    EXPECT_EQ(root->find("device_key_light")->find("closebtn"), nullptr);
}

TEST(SkinLoader, AppliesLanguageKeysAndLookAttributes) {
    ui::Language language;
    std::string error;
    ASSERT_TRUE(
        language.load(ui::Language::fileFor(test::skinFolder().toStdString(), "en"), &error))
        << error;
    SkinLoader loader(test::skinFolder());
    loader.setLanguage(&language);
    std::unique_ptr<QWidget> root(loader.load("test_page.ui"));
    ASSERT_NE(root, nullptr);
    ui::Control* page = QtControl::of(root.get());
    EXPECT_EQ(page->find("title_label")->text(), "Hello");
    EXPECT_EQ(page->find("title_label")->toolTip(), "A tip");
    // The skin's colour is readable as the control's background colour (preset colours).
    EXPECT_EQ(page->find("color_option_3")->backgroundColour(), 0xFFFF0000u);
    EXPECT_EQ(page->find("closebtn")->userData(), "close");
    // A skin image ends up in the style sheet, resolved in the skin folder, and
    // the skin's own style stays.
    const QString sheet = QtControl::widgetOf(page->find("styled_frame"))->styleSheet();
    EXPECT_TRUE(sheet.contains(test::skinFolder() + "/img/normal.png")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("color: blue;")) << sheet.toStdString();
    // Image buttons pick their state's image.
    auto* setbtn = qobject_cast<HandImgButton*>(QtControl::widgetOf(page->find("setbtn")));
    ASSERT_NE(setbtn, nullptr);
    EXPECT_EQ(setbtn->currentImage(), "file='img/normal.png'");
    setbtn->setEnabled(false);
    EXPECT_EQ(setbtn->currentImage(), "file='img/normal.png'");  // no disabled image: normal
}

TEST(SkinLoader, ReportsMissingAndDamagedFilesAndKeepsUnknownClasses) {
    SkinLoader loader(test::skinFolder());
    EXPECT_EQ(loader.load("no_such_file.xml"), nullptr);
    EXPECT_TRUE(loader.errorString().contains("no_such_file.ui"))
        << loader.errorString().toStdString();
    EXPECT_EQ(loader.load("damaged.ui"), nullptr);
    EXPECT_FALSE(loader.errorString().isEmpty());

    std::unique_ptr<QWidget> root(loader.load("unknown_class.ui"));
    ASSERT_NE(root, nullptr) << loader.errorString().toStdString();
    ui::Control* mystery = QtControl::of(root.get())->find("mystery");
    ASSERT_NE(mystery, nullptr);
    EXPECT_EQ(mystery->className(), "NoSuchThing");
    EXPECT_EQ(mystery->kind(), ui::ControlKind::Container);
    EXPECT_NE(mystery->find("inside_mystery"), nullptr);
}

TEST(SkinLoader, RegisteredClassesReplaceThePlaceholders) {
    CustomWidgetFactory factory = CustomWidgetFactory::standard();
    for (const QString& name : CustomWidgetFactory::standardClassNames()) {
        EXPECT_TRUE(factory.contains(name.toUpper())) << name.toStdString();
    }
    int made = 0;
    factory.registerClass("deviceoption", [&made](QWidget* parent) -> QWidget* {
        ++made;
        return new QLabel(parent);
    });
    SkinLoader loader(test::skinFolder(), factory);
    std::unique_ptr<QWidget> root(loader.load("test_page.ui"));
    ASSERT_NE(root, nullptr);
    ui::Control* tab = QtControl::of(root.get())->find("device_tab");
    EXPECT_EQ(made, 1);
    EXPECT_EQ(tab->className(), "deviceoption");  // the registered spelling
    EXPECT_EQ(tab->kind(), ui::ControlKind::Label);
}

TEST(SkinLoader, BuildsPiecesIntoContainersAtRunTime) {
    LoadedPage page;
    const char* piece = "XML\\CustomControlXML\\Piece.xml";

    // Into a stacked widget: a new page.
    auto* stack = page.get<QStackedWidget>("device_function_switch");
    QWidget* built = page.loader.buildInto(piece, stack);
    ASSERT_NE(built, nullptr) << page.loader.errorString().toStdString();
    EXPECT_EQ(stack->count(), 3);
    EXPECT_EQ(stack->widget(2), built);

    // Into a tab widget, at the front.
    auto* tabs = page.get<QTabWidget>("tabs");
    ASSERT_NE(page.loader.buildInto(piece, tabs, 0), nullptr);
    EXPECT_EQ(tabs->widget(0)->objectName(), "piece_root");

    // Into a plain container: it gets a layout; the piece shows.
    auto* frame = page.get<QFrame>("device_tab");
    QWidget* inFrame = page.loader.buildInto(piece, frame);
    ASSERT_NE(inFrame, nullptr);
    EXPECT_NE(frame->layout(), nullptr);
    EXPECT_FALSE(inFrame->isHidden());
    EXPECT_FALSE(inFrame->isWindow());

    // Built pieces are part of the page: found, and their notifications reach its handler.
    ui::Control* root = QtControl::of(page.root);
    ASSERT_NE(root->find("device_tab")->find("piece_btn"), nullptr);
    qobject_cast<QPushButton*>(QtControl::widgetOf(root->find("device_tab")->find("piece_btn")))
        ->click();
    EXPECT_EQ(page.log, (std::vector<std::string>{"click:piece_btn:0"}));

    EXPECT_EQ(page.loader.buildInto("missing.xml", frame), nullptr);
    EXPECT_EQ(page.loader.buildInto(piece, nullptr), nullptr);
}

}  // namespace
}  // namespace korvane::qt
