#pragma once

#include <QByteArray>

// Exports of other managers, made up, of count log-ins each, for timing the
// import of each layout.
enum class ForeignLayout { BitwardenCsv, LastPassCsv, FirefoxCsv, BitwardenJson, PasswordSafeXml };

QByteArray foreignFile(ForeignLayout layout, int count);
