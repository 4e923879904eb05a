// The print texts of game and tsume documents.
#include "record/archive.h"
#include "record/record_document.h"

void CGameRecordDoc::WriteRecordText(Archive&, int, int, bool) {}
void CTsumeRecordDoc::WriteRecordText(Archive&, int, int, bool) {}
std::string CGameRecordDoc::MailPositionText() { return ""; }
