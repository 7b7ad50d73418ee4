#include "phone/RecoveredFindings.h"

#include "phone/DeletedRecordImport.h"

namespace phone {

std::shared_ptr<const RecoveredFindings> RecoveredFindings::OfRows(engine::RecoveredRows rows) {
  auto findings = std::make_shared<RecoveredFindings>();
  findings->asRows = true;
  findings->rows = std::move(rows);
  return findings;
}

std::shared_ptr<const RecoveredFindings> RecoveredFindings::OfTexts(std::string contactsText,
                                                                    std::string messagesText) {
  auto findings = std::make_shared<RecoveredFindings>();
  findings->contactsText = std::move(contactsText);
  findings->messagesText = std::move(messagesText);
  return findings;
}

std::size_t RecoveredFindings::contactUnits() const {
  return asRows ? rows.contacts.size() : CountLineEnds(contactsText);
}

std::size_t RecoveredFindings::messageUnits() const {
  return asRows ? rows.messages.size() : CountLineEnds(messagesText);
}

}  // namespace phone
