#pragma once

#include <deque>
#include <string>
#include <vector>

#include "EditionFixture.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"

// Records what the document asks of its window, and answers questions from a script.
class RecordingUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string& caption, const std::string& text, Icon) override {
        messages.push_back(caption + "|" + text);
    }
    bool AskYesNo(const std::string&, const std::string& text) override {
        questions.push_back(text);
        bool answer = answers.empty() ? false : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void UpdateAllViews(int hint, const CLXCard* card) override {
        hints.push_back(hint);
        if (card) hintCards.push_back(*card);
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    std::vector<int> hints;
    std::vector<CLXCard> hintCards;
};

class ScriptedSender : public ISystemImageSender {
public:
    int SendFile(const SystemImageTransfer& transfer) override {
        sent.push_back(transfer);
        return result;
    }
    std::string ResultName(int code) override { return "EB_ERR_" + std::to_string(code); }
    int result = 0;
    std::vector<SystemImageTransfer> sent;
};

// A library folder with a book directory and settings, and a document on it.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "lib/Books");
        settings.WriteString(folder / "lib/Books", "Data Locations", "BookDir");
    }
    std::string libraryPath() const { return folder / "lib/library.lxl"; }
    std::string edition(const std::string& name, const std::string& title, const std::string& url,
                        const std::string& genre = "Fiction", const std::string& owner = "alice") {
        return MakeEdition(folder / name, {{"Title", title},
                                           {"Author", "Author of " + title},
                                           {"username", owner},
                                           {"url", url},
                                           {"genre", genre}});
    }
    std::string systemImage(const std::string& name, unsigned char type) {
        std::string bytes(400, '\0');
        Put32(bytes, 0, kSystemImageMagic);
        bytes[66] = static_cast<char>(type);
        WriteTextFile(folder / name, bytes);
        return folder / name;
    }

    TempFolder folder;
    CLXSettingsStore settings{folder / "settings.ini"};
    RecordingUI ui;
    ScriptedSender sender;
};
