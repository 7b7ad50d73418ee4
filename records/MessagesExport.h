#pragma once
// The SMS export files, in the Message category folder of the export root:
// one file per checked conversation, named after its peer label, and
// "deleted.txt" for the deleted messages that have no conversation.
//
// A conversation's file (a name already given in this export, say of
// another conversation with the same label, gets " (2)", " (3)", ...
// before ".txt"; two conversations never share a file):
//   <empty line>
//   <time text>                        three lines per message, in message
//   <peer label> : <body>              list order: "Me : <body>" for every
//   <empty line>                       direction other than received
// A deleted message is in its conversation at its time, its time text
// followed by " (deleted)" ("(deleted, no date)" without one); one whose
// direction is unknown is "Unknown : <body>". The live conversations come
// first, then those only deleted messages hold.
//
// deleted.txt, when there are deleted messages without a conversation:
//   Deleted SMS:
//   <name>\t<address>\t<body>          one line per such message, when
//                                      their conversation is checked: a
//                                      line recovered as such as it was,
//                                      else "N/A" for what is not known
//                                      (a body from the search index
//                                      begins "[search index] ")

#include <cstdint>
#include <string>

#include "records/ExportState.h"

namespace records {

constexpr char16_t kDeletedMessagesFileName[] = u"deleted.txt";

// The text that names the other party of a conversation, taken from its
// first message: the display name of the first contact (in list order)
// whose person key is the message's, when that contact's name comes from a
// structured name (source 40); otherwise the message's address. Empty for
// a conversation without messages (`firstMessage` null).
std::u16string PeerLabel(const phone::MessageRecord* firstMessage, const phone::ContactRecord* contacts);

// The file name of a conversation with this peer label: the label made safe
// (ExportFileName.h) followed by ".txt". A label that would name
// "deleted.txt" (in any case) gets a leading "_", so that no conversation
// writes into the file of the recovered messages. The label inside the file
// stays as it is.
std::u16string ConversationFileName(const std::u16string& peerLabel);

// Writes the checked conversations. Returns -1 when the stop flag was found
// set before a record or a file or folder could not be made or written (the
// failure is in the state), 0 when nothing of the category is checked
// (nothing is created), else the number of checked live conversations plus
// the deleted messages of the checked conversations (as the category's
// caption counts). Each conversation advanced the progress once.
//
// Waits on the pause event before each conversation; the messages without a
// conversation are written without waiting, but the stop flag is looked at
// before each of them.
std::int32_t ExportMessages(const ExportRecords& records, const ExportCategory& category, ExportState& state);

}  // namespace records
