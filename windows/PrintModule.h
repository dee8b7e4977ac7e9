// Printing lives in the module skelda-print (windows/print), loaded on first use: beside
// the program first, then in the library folder of the prefix the program is installed
// in, then in the configured one.
#pragma once

#include <QString>

class QTextEdit;

namespace skelda {

// Shows the print dialog for the page and prints it when accepted. False when the
// dialog was cancelled, or when the module cannot be loaded (with the reason in error).
bool PrintRichText(QTextEdit* page, const QString& docName, QString& error);

// Looks for the module in this folder instead (tests).
void SetPrintModuleFolder(const QString& folder);

}  // namespace skelda
