// The shared state holder.
#include "app/shared_state.h"

#include "core/project/error_text.h"

namespace lumexa
{

TForm4::TForm4(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Form4"));
}

QString TForm4::errorText(const std::exception& e) const
{
    return QString::fromStdString(ErrorText(e, languageStrings));
}

} // namespace lumexa
