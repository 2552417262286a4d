// The shared state holder.
#include "app/shared_state.h"

namespace lumexa
{

TForm4::TForm4(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Form4"));
}

} // namespace lumexa
