#pragma once

#include <QStringList>

class CLXLibraryDoc;
class QWidget;

struct ImportOutcome {
    int editions = 0;      // editions offered to the library
    int added = 0;         // of those, in the library afterwards
    QStringList failures;  // one message per edition that could not be read
    bool cancelled = false;
};

// The editions (".lx"), reader software (".lff") and markup files (".la", ".lh", ".ln") among the
// given paths, with folders searched depth first, sub-folders before their own files.
QStringList importableFiles(const QStringList& paths);

// Imports many files one at a time under a progress dialog that keeps the window responsive
// and can be cancelled; markups go to the cards they belong to, and the library is saved once.
ImportOutcome importTitles(CLXLibraryDoc& document, const QStringList& files, QWidget* parent);

// The summary shown after a batch import, empty when every edition was added.
QString importSummary(const ImportOutcome& outcome);
