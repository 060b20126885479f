#pragma once

#include "health/HealthReport.h"

#include <QString>

class CaptionTable;

// How the report words a finding, in the chosen language: what is wrong
// ("Weak password") and the figure behind it ("Strength: 38 bits"). The
// command-line tool passes an empty table and gets the English texts.
namespace FindingText {

QString problem(const HealthFinding& finding, const CaptionTable& captions);
QString detail(const HealthFinding& finding, const CaptionTable& captions);

} // namespace FindingText
