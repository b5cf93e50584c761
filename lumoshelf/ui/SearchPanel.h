#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

// What the user asks for in the search panel; empty lists place no condition.
struct SearchFields {
    QStringList authors;
    QStringList usernames;
    QStringList keywords;
    bool onReaderOnly = false;
    bool withMarkupsOnly = false;
};

// The search fields beside the category tree: an author and an owner name chosen from those in
// the library, keywords typed freely (each word a keyword), and the two switches. Every change is
// reported at once so that the list follows as the user types.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget* parent = nullptr);

    SearchFields fields() const;
    // Shows fields (a kept filter) without reporting a change; a name that is not offered
    // shows as "(any)".
    void setFields(const SearchFields& fields);

    // The names offered in the author and owner boxes; the current choices are kept when present.
    void setChoices(const QStringList& authors, const QStringList& usernames);

    QLineEdit* keywordEdit() const { return keywords_; }
    QComboBox* authorBox() const { return author_; }
    QComboBox* usernameBox() const { return username_; }
    QCheckBox* onReaderBox() const { return onReader_; }
    QCheckBox* withMarkupsBox() const { return withMarkups_; }

signals:
    void changed();

private:
    QComboBox* author_;
    QComboBox* username_;
    QLineEdit* keywords_;
    QCheckBox* onReader_;
    QCheckBox* withMarkups_;
};
