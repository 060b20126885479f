#pragma once

#include <QUrl>

namespace WebSite {

// The maker's web site, opened from the about window and "Get Mobile Version!".
inline QUrl address()
{
    return QUrl(QStringLiteral("https://zantrove.org/"));
}

} // namespace WebSite
