#pragma once
// What the core needs from whoever shows things to the operator: message boxes, input boxes,
// progress and the time of day. The desktop program, the terminal program and the tests each
// provide their own.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

enum class Icon { None, Information, Exclamation, Critical };
enum class Buttons { YesNo, OKCancel };
enum class Answer { OK, Cancel, Yes, No };

// What a save dialog asks for.
struct SaveRequest {
    std::string title;                     // the dialog's title
    std::string prompt;                    // the question of an input box, for a prompter without a dialog
    std::string folder;                    // where the dialog opens, and where a bare name is kept
    std::string name;                      // the name proposed
    std::string filter;                    // the kinds of file shown ("CSV files (*.csv)")
    bool dialogAsksBeforeReplacing = true; // false when the caller asks itself
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // A notice with an OK button.
    virtual void notify(const std::string &text, Icon icon = Icon::None) = 0;
    virtual Answer ask(const std::string &text, Buttons buttons, Icon icon = Icon::None) = 0;
    // An input box; nothing when it was cancelled.
    virtual std::optional<std::string> input(const std::string &title, const std::string &prompt) = 0;
    // A folder dialog titled `title`, opened on `start`; the chosen folder, or nothing when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string &title, const std::string &start) = 0;
    // A dialog choosing files to open, titled `title`, opened on `start`, showing the kinds `filter`
    // names; the files chosen, none when cancelled. A prompter without a dialog chooses none.
    virtual std::vector<std::string> chooseFiles(const std::string &title, const std::string &start,
                                                 const std::string &filter) {
        (void)title, (void)start, (void)filter;
        return {};
    }
    // A save dialog; the path chosen, or nothing when cancelled. A prompter without a dialog of its
    // own asks with an input box, and a name typed there that is no absolute path is taken as a
    // file of the request's folder ("" stays "", for the caller to refuse).
    virtual std::optional<std::string> chooseSaveFile(const SaveRequest &request) {
        std::optional<std::string> typed = input(request.title, request.prompt);
        if (!typed || typed->empty() || typed->front() == '/')
            return typed;
        return request.folder + "/" + *typed;
    }
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void show(const std::string &caption) = 0;
    virtual void setRange(long minimum, long maximum) = 0;
    virtual void advance() = 0;
    virtual void close() = 0;
    // Called now and then while the work waits on another process, so that a window can repaint.
    virtual void waiting() {}
};

// A progress sink that shows nothing.
class NoProgress : public ProgressSink {
public:
    void show(const std::string &) override {}
    void setRange(long, long) override {}
    void advance() override {}
    void close() override {}
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::tm now() const = 0;
};

class SystemClock : public Clock {
public:
    std::tm now() const override {
        std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        return local;
    }
};

} // namespace tarnwick
