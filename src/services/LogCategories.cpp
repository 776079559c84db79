#include "services/LogCategories.h"

#include <QDebug>
#include <QString>

namespace vantorelle {

Q_LOGGING_CATEGORY(audioLog, "vantorelle.audio", QtWarningMsg)
Q_LOGGING_CATEGORY(engineLog, "vantorelle.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(lidLog, "vantorelle.lid", QtWarningMsg)
Q_LOGGING_CATEGORY(noticesLog, "vantorelle.notices", QtWarningMsg)

namespace {

class CategoryTrace final : public Trace {
public:
    explicit CategoryTrace(const QLoggingCategory& category) : category_(category) {}
    bool isOn() const noexcept override { return category_.isDebugEnabled(); }
    void write(const std::string& line) override
    {
        QMessageLogger().debug(category_).noquote() << QString::fromStdString(line);
    }

private:
    const QLoggingCategory& category_;
};

} // namespace

std::unique_ptr<Trace> traceTo(const QLoggingCategory& category)
{
    return std::make_unique<CategoryTrace>(category);
}

} // namespace vantorelle
