#include "config/StockTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

StockTranslations::StockTranslations() = default;

StockTranslations::~StockTranslations()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

bool StockTranslations::apply(const QLocale& locale)
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator = std::make_unique<QTranslator>();
    // qtbase_de.qm and the like hold the texts of every widget Qt draws for us.
    if (!m_translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        m_translator.reset();
        return false;
    }
    return QCoreApplication::installTranslator(m_translator.get());
}
