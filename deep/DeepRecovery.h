#pragma once
// Deep recovery: the deleted rows a recovery session cannot see, read from
// a copy and the side files pulled with it ("-wal", "-journal" beside it).
// Where they come from is DeepOptions.h; how each kind is found,
// DeletedContacts.h and DeletedMessages.h.
//
// The records are made from the rows (RecoverDeepContactRows,
// RecoverDeepMessageRows). The recovered-record text of the deep pass
// (DeepText.h) serves `carve --deep` and the measurements: its lines come
// after the session's and never change them.
//
// Every offset, length and count read from the files is checked; what is
// kept is bounded by a fixed multiple of the input's size.

#include <string>
#include <vector>

#include "deep/DeepOptions.h"
#include "deep/DeepText.h"
#include "engine/RecoveredRows.h"
#include "engine/SqliteParse.h"

namespace deep {

// The deleted contacts `data` rows of a contacts copy (a path that names
// contacts2.db), not counting those a live row holds.
std::vector<engine::RecoveredContactRow> RecoverDeepContactRows(const std::string& contactsCopy,
                                                               const DeepOptions& options = DeepOptions());

// The deleted `sms` rows of an SMS copy (a path that names mmssms.db) and the
// texts its search index keeps of deleted messages, leaving out the texts
// whose words one of `knownBodies` (bodies the session recovered) has.
std::vector<engine::RecoveredMessageRow> RecoverDeepMessageRows(const std::string& smsCopy,
                                                               const std::vector<std::string>& knownBodies,
                                                               const DeepOptions& options = DeepOptions());

// The deep pass over the copies for one kind of session, as lines.
// `sessionText` is what the session recovered from the same copies.
DeepResult RecoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options = DeepOptions());

// The session's text followed by the deep pass's lines.
std::string WithDeepLines(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                          const std::string& sessionText);

}  // namespace deep
