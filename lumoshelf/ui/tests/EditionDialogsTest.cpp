#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "DemoLibrary.h"
#include "RecordingPrompts.h"
#include "SessionOptions.h"
#include "TestApp.h"
#include "library/LXLibraryDoc.h"
#include "library/StringTable.h"
#include "ui/CredentialDialog.h"
#include "ui/EditionDialog.h"
#include "ui/EditionProgressDialog.h"
#include "ui/EditionWindowUi.h"
#include "ui/MainWindow.h"
#include "ui/ProgramSession.h"
#include "ui/SingleInstance.h"

using namespace std::chrono_literals;

namespace {

// Answers the next modal dialog of type T once it is up.
template <typename T>
void answerDialog(std::function<void(T&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(10);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(EditionDialogs, EditionDialogShowsAndReturnsTheChoices) {
    testApp();
    EditionChoices choices;
    choices.source = "file:///tmp/a%20b.html";
    choices.title = "Given";
    choices.author = "Ann";
    choices.levels = 2;
    choices.links = true;
    EditionWindowUi editionUi;

    answerDialog<EditionDialog>([](EditionDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Create new title");
        EXPECT_EQ(dialog.sourceEdit().text(), "file:///tmp/a%20b.html");
        EXPECT_EQ(dialog.levelsBox().value(), 2);
        EXPECT_TRUE(dialog.linksBox().isChecked());
        EXPECT_FALSE(dialog.imagesBox().isChecked());
        dialog.reject();
    });
    EXPECT_FALSE(editionUi.EditEdition(choices));
    EXPECT_EQ(choices.title, "Given");

    answerDialog<EditionDialog>([](EditionDialog& dialog) {
        dialog.titleEdit().setText(QString::fromUtf8("  Caf\xc3\xa9 Book "));
        dialog.authorEdit().clear();
        dialog.subExpressionEdit().setText("chapter[0-9]+");
        dialog.imagesBox().setChecked(true);
        dialog.linksBox().setChecked(false);
        EXPECT_FALSE(dialog.levelsBox().isEnabled());
        dialog.accept();
    });
    ASSERT_TRUE(editionUi.EditEdition(choices));
    EXPECT_EQ(choices.title, "Caf\xc3\xa9 Book");
    EXPECT_EQ(choices.author, "");
    EXPECT_EQ(choices.subExpression, "chapter[0-9]+");
    EXPECT_TRUE(choices.images);
    EXPECT_FALSE(choices.links);
    EXPECT_EQ(choices.source, "file:///tmp/a%20b.html");
}

TEST(EditionDialogs, ProgressDialogShowsPositionsBusyCounterAndBothLines) {
    testApp();
    EditionProgressDialog dialog;
    dialog.ShowPosition(4, 3);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.bar().maximum(), 4);
    EXPECT_EQ(dialog.bar().value(), 3);
    dialog.ShowBusy(57);
    EXPECT_EQ(dialog.bar().maximum(), 99);
    EXPECT_EQ(dialog.bar().value(), 57);
    dialog.SetText("Reading file:///a.html");
    dialog.SetStatusText("Connected");
    EXPECT_EQ(dialog.textLine().text(), "Reading file:///a.html");
    EXPECT_EQ(dialog.statusLine().text(), "Connected");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(EditionDialogs, CredentialPromptGivesUserAndPasswordOrNothing) {
    testApp();
    EditionWindowUi editionUi;
    std::string user = "old", password = "old";
    answerDialog<CredentialDialog>([](CredentialDialog& dialog) {
        EXPECT_EQ(dialog.passwordEdit().echoMode(), QLineEdit::Password);
        dialog.userEdit().setText("reader");
        dialog.passwordEdit().setText("open sesame");
        dialog.accept();
    });
    ASSERT_TRUE(editionUi.AskCredentials("http://books.example/", user, password));
    EXPECT_EQ(user, "reader");
    EXPECT_EQ(password, "open sesame");

    answerDialog<CredentialDialog>([](CredentialDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(editionUi.AskCredentials("http://books.example/", user, password));
}

TEST(EditionDialogs, UrlsOnTheCommandLineStayAsTheyAre) {
    EXPECT_EQ(absoluteCommandLinePath("http://books.example/a.htm", "/home/u"),
              "http://books.example/a.htm");
    EXPECT_EQ(absoluteCommandLinePath("docs/../a.html", "/home/u"), "/home/u/a.html");
}

TEST(EditionDialogs, DocumentOnTheCommandLineIsBuiltIntoATitle) {
    testApp();
    DemoLibrary library;
    const QString page = library.path("docs/my page.html");
    QDir().mkpath(library.path("docs"));
    writeFile(page,
              "<html><head><title>Command Line Book</title></head><body><p>Hi</p></body>"
              "</html>");
    RecordingPrompts prompts;
    ProgramSession session(prompts);

    answerDialog<EditionDialog>([](EditionDialog& dialog) {
        EXPECT_TRUE(dialog.sourceEdit().text().endsWith("/docs/my%20page.html"));
        dialog.authorEdit().setText("Me");
        dialog.accept();
    });
    ASSERT_EQ(session.start(optionsFor(library, page)), ProgramSession::Outcome::Running);
    CLXLibraryDoc& doc = *session.document();
    ASSERT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(doc.CardAt(0).title, "Command Line Book");
    EXPECT_EQ(doc.CardAt(0).author, "Me");
    EXPECT_TRUE(QFile::exists(toQString(doc.CardAt(0).storedPath)));
    EXPECT_TRUE(QDir(library.libraryDir() + "/SelfPublishing").isEmpty());

    // Handed over by a second start: cancelled, then a file that is not there.
    answerDialog<EditionDialog>([](EditionDialog& dialog) { dialog.reject(); });
    session.window()->openCommandLineFile(page);
    EXPECT_EQ(doc.GetCardCount(), 1);
    prompts.told.clear();
    prompts.titles.clear();
    prompts.icons.clear();
    answerDialog<EditionDialog>([](EditionDialog& dialog) { dialog.accept(); });
    session.window()->openCommandLineFile(library.path("docs/gone.html"));
    ASSERT_EQ(prompts.told, QStringList{"The selected title cannot be found"});
    EXPECT_EQ(prompts.titles.front(), "Create new title");
    EXPECT_EQ(prompts.icons.front(), UserPrompts::Icon::Stop);
}

}  // namespace
