#pragma once

#include <QLocale>

#include <memory>

class QTranslator;

// Qt's own texts in the chosen language: the buttons of message boxes, the
// file dialogs, the context menus of edit boxes. They come from Qt's
// translations (on Debian the package qt6-translations-l10n), not from our
// caption table.
class StockTranslations {
public:
    StockTranslations();
    ~StockTranslations();
    StockTranslations(const StockTranslations&) = delete;
    StockTranslations& operator=(const StockTranslations&) = delete;

    // Replaces the translation installed before by the one for locale. False
    // when Qt has none for it: the stock texts are then English.
    bool apply(const QLocale& locale);

private:
    std::unique_ptr<QTranslator> m_translator;
};
