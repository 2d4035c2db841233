#pragma once
// The main window: Expression, Text and Result boxes under a one-item menu bar,
// with a status line; every change of Expression or Text evaluates at once.

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <optional>
#include <string>
#include <vector>

#include "edit_history.h"
#include "group_marks.h"
#include "window_boxes.h"

namespace tarnwick::gtk {

class MainWindow : public Gtk::Window, public app::WindowBoxes {
public:
    MainWindow();

    std::string expression() const override;
    std::string text() const override;
    void showResult(const std::string& result) override;
    void showStatus(const std::string& status) override;
    void showMarks(const app::BoxMarks& marks) override;

private:
    void layOut();
    void connectSignals();
    void recordEdits();
    bool onWindowKey(GdkEventKey* event);
    bool onExpressionKey(GdkEventKey* event);
    bool onTextKey(GdkEventKey* event);
    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y; true when the key was one of them.
    bool undoKey(GdkEventKey* event, app::EditHistory& history, void (MainWindow::*apply)(const std::vector<app::TextEdit>&));
    void applyToExpression(const std::vector<app::TextEdit>& edits);
    void applyToText(const std::vector<app::TextEdit>& edits);
    void markFault(const std::optional<std::size_t>& fault);
    void recolour();
    // Expression's context menu: "Copy as C++" and "Paste C++ literal".
    void addLiteralItems(Gtk::Menu& menu);
    void pasteLiteral(const Glib::ustring& clipboard);
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
    Gtk::Label statusLine_;
    GroupMarks textMarks_{textBox_.get_buffer()};
    GroupMarks resultMarks_{resultBox_.get_buffer()};
    std::optional<std::size_t> fault_;
    app::BoxMarks shown_;  // where the groups and their Result lines are
    app::EditHistory expressionHistory_;
    app::EditHistory textHistory_;
    bool replaying_ = false;  // undo or redo at work: not an edit to record
    mutable std::optional<std::string> textRead_;  // the Text box's text since its last change
};

}  // namespace tarnwick::gtk
