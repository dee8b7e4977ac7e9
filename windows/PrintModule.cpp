#include "windows/PrintModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace skelda {

namespace {

using PrintFunction = bool (*)(QTextEdit*, const QString*);

QString moduleFolder;            // set by tests
PrintFunction loaded = nullptr;  // the module stays loaded once found

PrintFunction LoadPrinting(QString& error) {
    if (loaded) return loaded;
    const QStringList folders =
        moduleFolder.isEmpty()
            ? QStringList{QCoreApplication::applicationDirPath(),
                          QCoreApplication::applicationDirPath() + "/" SKELDA_MODULE_FROM_BIN,
                          QStringLiteral(SKELDA_MODULE_DIR)}
            : QStringList{moduleFolder};
    for (const QString& folder : folders) {
        QLibrary module(QDir(folder).filePath(QStringLiteral("skelda-print")));
        loaded = reinterpret_cast<PrintFunction>(module.resolve("SkeldaPrintRichText"));
        if (loaded) return loaded;
        error = module.errorString();
    }
    return nullptr;
}

}  // namespace

void SetPrintModuleFolder(const QString& folder) {
    moduleFolder = folder;
    loaded = nullptr;
}

bool PrintRichText(QTextEdit* page, const QString& docName, QString& error) {
    const PrintFunction print = LoadPrinting(error);
    return print && print(page, &docName);
}

}  // namespace skelda
