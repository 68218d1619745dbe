#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string_view>

#include "platform/qt/custom_widget_factory.h"

namespace korvane::ui {
class Language;
}

// Loads the skin's Qt Designer files at run time. Skin files are named as the
// pages know them ("XML\\CustomControlXML\\LightControl.xml" is
// "XML/CustomControlXML/LightControl.ui" in the skin folder, see
// ui::skinFileName). Every loaded tree gets its look attributes applied, its
// language keys resolved and its notifications attached.
//
// Language keys: a widget whose dynamic property "textkey" (or "tooltipkey")
// names a key shows that key's text; applyLanguageKeys does it again after the
// language changed.
namespace korvane::qt {

class SkinLoader {
  public:
    explicit SkinLoader(QString skinFolder,
                        CustomWidgetFactory factory = CustomWidgetFactory::standard());
    ~SkinLoader();
    SkinLoader(const SkinLoader&) = delete;
    SkinLoader& operator=(const SkinLoader&) = delete;

    const QString& skinFolder() const { return skinFolder_; }
    CustomWidgetFactory& factory() { return factory_; }
    // The language whose texts the language keys show; nullptr: keys stay as the file has them.
    void setLanguage(const ui::Language* language) { language_ = language; }

    // The full path of a skin file.
    QString filePath(std::string_view skinFile) const;

    // A new widget tree from the file: a window when `parent` is nullptr. nullptr
    // when the file is missing or damaged (errorString() says why).
    QWidget* load(std::string_view skinFile, QWidget* parent = nullptr);

    // Builds the file into `container` at position `index` (-1: at the end): a page
    // of a stacked or tab widget, otherwise an item of the container's layout
    // (a vertical one without margins is made when it has none). Returns the
    // piece's root, or nullptr as load() does.
    QWidget* buildInto(std::string_view skinFile, QWidget* container, int index = -1);

    QString errorString() const { return error_; }

  private:
    class Loader;

    QString skinFolder_;
    CustomWidgetFactory factory_;
    const ui::Language* language_ = nullptr;
    std::unique_ptr<Loader> loader_;
    QString error_;
};

void applyLanguageKeys(QWidget* root, const ui::Language& language);

}  // namespace korvane::qt
