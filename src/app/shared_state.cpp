// The shared state holder.
#include "shared_state.h"

namespace lumexa
{

TForm4::TForm4(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Form4"));
}

} // namespace lumexa
