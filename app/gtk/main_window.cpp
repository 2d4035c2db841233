#include "main_window.h"

#include <gdk/gdkkeysyms.h>
#include <gdkmm/pixbuf.h>

#include "box_evaluation.h"
#include "dialog_units.h"
#include "version_box.h"

namespace tarnwick::gtk {

namespace {

// The original dialog template, in dialog units: margins 7, boxes 218 wide.
constexpr int templateWidth = 232;
constexpr int templateHeight = 180;
constexpr int margin = 7;

void placeLabel(Gtk::Label& label, Gtk::Widget& target, int gapAbove, const DialogUnits& units) {
    label.set_xalign(0.0F);
    label.set_margin_top(units.down(gapAbove));
    label.set_mnemonic_widget(target);
}

void nameForAssistiveTools(Gtk::Widget& widget, const char* name) {
    widget.get_accessible()->set_name(name);
}

}  // namespace

MainWindow::MainWindow() {
    set_title("Tarnwick");
    set_icon(Gdk::Pixbuf::create_from_resource("/org/tarnwick/tarnwick-32.png"));
    layOut();
    connectSignals();
    show_all_children();
    expressionBox_.grab_focus();
}

void MainWindow::layOut() {
    const DialogUnits units(*this);

    menuBar_.append(versionItem_);
    column_.pack_start(menuBar_, Gtk::PACK_SHRINK);

    boxes_.set_margin_start(units.across(margin));
    boxes_.set_margin_end(units.across(margin));
    boxes_.set_margin_bottom(units.down(margin));

    // Gaps above each widget follow the template's y coordinates.
    placeLabel(expressionLabel_, expressionBox_, 8, units);
    expressionBox_.set_margin_top(units.down(1));
    expressionBox_.set_size_request(units.across(218), units.down(14));
    placeLabel(textLabel_, textBox_, 3, units);
    textScroller_.set_margin_top(units.down(1));
    textScroller_.set_size_request(-1, units.down(33));
    placeLabel(resultLabel_, resultBox_, 8, units);
    resultScroller_.set_margin_top(units.down(3));
    resultScroller_.set_size_request(-1, units.down(78));

    for (auto* scroller : {&textScroller_, &resultScroller_}) {
        scroller->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_ALWAYS);
        scroller->set_shadow_type(Gtk::SHADOW_IN);
        scroller->set_vexpand(true);
    }
    for (auto* box : {&textBox_, &resultBox_}) {
        box->set_wrap_mode(Gtk::WRAP_WORD_CHAR);
        box->set_left_margin(3);
        box->set_right_margin(3);
    }
    textScroller_.add(textBox_);
    resultScroller_.add(resultBox_);

    statusLine_.set_xalign(0.0F);
    statusLine_.set_ellipsize(Pango::ELLIPSIZE_END);
    statusLine_.set_margin_top(units.down(3));

    boxes_.pack_start(expressionLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(expressionBox_, Gtk::PACK_SHRINK);
    boxes_.pack_start(textLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(textScroller_, Gtk::PACK_EXPAND_WIDGET);
    boxes_.pack_start(resultLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(resultScroller_, Gtk::PACK_EXPAND_WIDGET);
    boxes_.pack_start(statusLine_, Gtk::PACK_SHRINK);
    column_.pack_start(boxes_, Gtk::PACK_EXPAND_WIDGET);
    add(column_);

    nameForAssistiveTools(expressionBox_, "Expression");
    nameForAssistiveTools(textBox_, "Text");
    nameForAssistiveTools(resultBox_, "Result");
    nameForAssistiveTools(statusLine_, "Status");

    set_default_size(units.across(templateWidth), units.down(templateHeight));
}

void MainWindow::connectSignals() {
    versionItem_.signal_activate().connect([] { showVersionInfo(); });
    expressionBox_.signal_changed().connect([this] { app::evaluateBoxes(*this); });
    textBox_.get_buffer()->signal_changed().connect([this] { app::evaluateBoxes(*this); });
    // Before the widgets' own handlers, so that Escape and Enter mean what the dialog made them mean.
    signal_key_press_event().connect(sigc::mem_fun(*this, &MainWindow::onWindowKey), false);
    textBox_.signal_key_press_event().connect(sigc::mem_fun(*this, &MainWindow::onTextKey), false);
}

bool MainWindow::onWindowKey(GdkEventKey* event) {
    if (event->keyval != GDK_KEY_Escape) return false;
    close();
    return true;
}

// Enter does nothing in the Text box; Ctrl+Enter starts a new line.
bool MainWindow::onTextKey(GdkEventKey* event) {
    if (event->keyval != GDK_KEY_Return && event->keyval != GDK_KEY_KP_Enter) return false;
    if ((event->state & GDK_CONTROL_MASK) != 0) {
        auto buffer = textBox_.get_buffer();
        buffer->erase_selection(true, true);
        buffer->insert_interactive_at_cursor("\n");
        textBox_.scroll_to(buffer->get_insert());
    }
    return true;
}

std::string MainWindow::expression() const { return expressionBox_.get_text(); }

std::string MainWindow::text() const { return textBox_.get_buffer()->get_text(); }

void MainWindow::showResult(const std::string& result) { resultBox_.get_buffer()->set_text(result); }

void MainWindow::showStatus(const std::string& status) { statusLine_.set_text(status); }

}  // namespace tarnwick::gtk
