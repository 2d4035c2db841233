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

#include <optional>
#include <string>
#include <vector>

#include "edit_history.h"
#include "evaluator.h"
#include "group_marks.h"
#include "window_boxes.h"

namespace tarnwick::gtk {

class MainWindow : public Gtk::Window, public app::WindowBoxes {
public:
    MainWindow();

    void showResult(const std::string& result, const app::ShownResult& shown) override;
    void showStatus(const std::string& status) override;
    void showMarks(const app::BoxMarks& marks) override;

private:
    void layOut();
    void connectSignals();
    void recordEdits();
    // A box changed: its text goes to the evaluator once the keys waiting are handled and drawn.
    void boxChanged(bool expression);
    void submitChanges();
    void showOutcomes();
    void showEvaluating();
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
    void markFault(const std::optional<std::size_t>& fault);
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
    app::BoxMarks shown_;  // where the groups and their Result lines are
    app::EditHistory expressionHistory_;
    app::EditHistory textHistory_;
    bool replaying_ = false;  // undo or redo at work: not an edit to record
    bool expressionConverting_ = false;  // an input method's conversion is on screen there
    bool textConverting_ = false;
    bool expressionChanged_ = false;  // since the last submission to the evaluator
    bool textChanged_ = false;
    sigc::connection submission_;      // the idle call that submits the changes
    sigc::connection evaluatingTimer_;  // says "Evaluating…" when an evaluation takes long
    std::string result_;               // the whole Result the box shows
    app::ShownResult shownResult_;
    bool showingResult_ = false;       // the window is writing the Result box, not the user
    bool resultEdited_ = false;        // the user typed into the Result box since
    Glib::RefPtr<Gtk::TextTag> markerTag_;
    Glib::Dispatcher outcomesArrived_;
    app::Evaluator evaluator_{[this] { outcomesArrived_.emit(); }};  // last: its worker calls back
};

}  // namespace tarnwick::gtk
