#include "services/NoticeTranslation.h"

#include <QCoreApplication>

namespace vantorelle {

ShownNotice shownNotice(const NoticeText& notice)
{
    const QString bodyPattern = QCoreApplication::translate(noticeContext, notice.bodyPattern.c_str());
    return ShownNotice{QCoreApplication::translate(noticeContext, notice.title.c_str()),
                       QString::fromStdString(NoticeText::fillPattern(bodyPattern.toStdString(), notice.names))};
}

} // namespace vantorelle
