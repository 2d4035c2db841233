#pragma once
// The main window: Expression, Text and Result boxes under a one-item menu bar,
// with a status line. Every change of Expression or Text is evaluated off the
// input thread: the keys are drawn at once, the Result follows.

#include <glibmm/dispatcher.h>
#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/spinner.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "edit_history.h"
#include "boxes_presenter.h"
#include "group_marks.h"
#include "window_boxes.h"

namespace tarnwick::gtk {

class MainWindow : public Gtk::Window, public app::WindowBoxes, private app::WindowLoop {
public:
    MainWindow();
    ~MainWindow() override;

    void showResult(const std::string& result, const app::ShownResult& shown) override;
    void showStatus(const std::string& status) override;
    void showMarks(const app::BoxMarks& marks) override;
    void showBusy(bool busy) override;

private:
    void layOut();
    void connectSignals();
    void recordEdits();
    // The road's calls on GTK's loop (window_loop.h).
    void scheduleSubmission() override;
    void wake() override;
    void startTimer(int milliseconds) override;
    void stopTimer() override;
    void disarm() override;
    std::string expressionText() override;
    std::string textText() override;
    bool onWindowKey(GdkEventKey* event);
    bool onExpressionKey(GdkEventKey* event);
    bool onTextKey(GdkEventKey* event);
    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y; true when the key was one of them.
    bool undoKey(GdkEventKey* event, app::EditHistory& history, void (MainWindow::*apply)(const std::vector<app::TextEdit>&));
    template <class Box>
    bool undoKeyIn(Box& box, bool converting, GdkEventKey* event, app::EditHistory& history,
                   void (MainWindow::*apply)(const std::vector<app::TextEdit>&));
    void applyToExpression(const std::vector<app::TextEdit>& edits);
    void applyToText(const std::vector<app::TextEdit>& edits);
    void offerAttack(const std::string& attackText) override;
    // The fault's character, and the repetitions whose cost explodes, in Expression.
    void markExpression();
    void tryAttack();
    void recolour();
    // Expression's context menu: "Copy as C++" and "Paste C++ literal".
    void addLiteralItems(Gtk::Menu& menu);
    void pasteLiteral(const Glib::ustring& clipboard);
    // Result's copy and context menu give the whole Result, long lines and all.
    void copyResultSelection();
    void addResultItems(Gtk::Menu& menu);
    std::string resultInBox() const;
    // Selects in Text the group whose Result line holds this character of the Result.
    void selectGroupAt(std::size_t resultCharacter);

    Gtk::Box column_{Gtk::ORIENTATION_VERTICAL};
    Gtk::MenuBar menuBar_;
    Gtk::MenuItem versionItem_{"Version"};
    Gtk::Box boxes_{Gtk::ORIENTATION_VERTICAL};
    Gtk::Label expressionLabel_{"Expression"};
    Gtk::Entry expressionBox_;
    Gtk::Label textLabel_{"Text"};
    Gtk::ScrolledWindow textScroller_;
    Gtk::TextView textBox_;
    Gtk::Label resultLabel_{"Result"};
    Gtk::ScrolledWindow resultScroller_;
    Gtk::TextView resultBox_;
    Gtk::Box statusRow_{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Spinner spinner_;
    Gtk::Label statusLine_;
    GroupMarks textMarks_{textBox_.get_buffer()};
    GroupMarks resultMarks_{resultBox_.get_buffer()};
    std::optional<std::size_t> fault_;
    std::optional<GroupSpan> growth_;
    std::string attackText_;
    bool windowMessage_ = false;  // the status line says what the window did (a refused paste), not an evaluation
    app::BoxMarks shown_;  // where the groups and their Result lines are
    app::EditHistory expressionHistory_;
    app::EditHistory textHistory_;
    bool replaying_ = false;  // undo or redo at work: not an edit to record
    bool expressionConverting_ = false;  // an input method's conversion is on screen there
    bool textConverting_ = false;
    sigc::connection submission_;  // the idle call that submits the changes
    sigc::connection timer_;       // says "Evaluating…" when an evaluation takes long
    sigc::connection arrival_;     // the dispatcher's call that shows the outcomes
    sigc::connection pasteScroll_;  // brings the caret into view once a paste is laid out
    std::string result_;               // the whole Result the box shows
    app::ShownResult shownResult_;
    bool showingResult_ = false;       // the window is writing the Result box, not the user
    bool resultEdited_ = false;        // the user typed into the Result box since
    Glib::RefPtr<Gtk::TextTag> markerTag_;
    Glib::Dispatcher outcomesArrived_;
    std::unique_ptr<app::BoxesPresenter> presenter_;  // last: its evaluator's worker wakes the dispatcher
};

}  // namespace tarnwick::gtk
