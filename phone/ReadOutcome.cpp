#include "phone/ReadOutcome.h"

namespace phone {

void OutcomeBuilder::Note(ReadStatus status, const std::string& what) {
  if (static_cast<int>(status) > static_cast<int>(outcome_.status)) outcome_.status = status;
  if (!outcome_.detail.empty()) outcome_.detail += "; ";
  outcome_.detail += what;
}

}  // namespace phone
