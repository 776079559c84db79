#pragma once

#include "model/Trace.h"

#include <QLoggingCategory>

#include <memory>

namespace vantorelle {

// One category per layer, all silent by default; QT_LOGGING_RULES="vantorelle.*.debug=true"
// (or one of them) switches them on. Everything they say is at debug level.
Q_DECLARE_LOGGING_CATEGORY(audioLog)
Q_DECLARE_LOGGING_CATEGORY(engineLog)
Q_DECLARE_LOGGING_CATEGORY(lidLog)
Q_DECLARE_LOGGING_CATEGORY(noticesLog)

// A core layer's trace written to a category.
std::unique_ptr<Trace> traceTo(const QLoggingCategory& category);

} // namespace vantorelle
