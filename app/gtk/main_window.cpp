#include "main_window.h"

#include <gdk/gdkkeysyms.h>
#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gdkmm/pixbuf.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/separatormenuitem.h>

#include <algorithm>
#include <optional>

#include "box_evaluation.h"
#include "expression_literal.h"
#include "dialog_units.h"
#include "group_colours.h"
#include "version_box.h"

namespace tarnwick::gtk {

namespace {

// The original dialog template, in dialog units: margins 7, boxes 218 wide.
constexpr int templateWidth = 232;
constexpr int templateHeight = 180;
constexpr int margin = 7;

constexpr const char* iconName = "io.github.tarnwick.Tarnwick";

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
    // The theme's icon where the program is installed, the built-in one where it is not.
    if (Gtk::IconTheme::get_default()->has_icon(iconName)) {
        set_icon_name(iconName);
    } else {
        set_icon(Gdk::Pixbuf::create_from_resource("/org/tarnwick/tarnwick-32.png"));
    }
    layOut();
    markerTag_ = resultBox_.get_buffer()->create_tag();
    markerTag_->property_style() = Pango::STYLE_ITALIC;
    markerTag_->property_foreground() = "#808080";  // legible on light and dark themes alike
    recolour();
    presenter_ = std::make_unique<app::BoxesPresenter>(static_cast<app::WindowLoop&>(*this),
                                                       static_cast<app::WindowBoxes&>(*this), app::BoxLines::lineFeeds);
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
    expressionBox_.set_width_chars(1);  // the template's width is the default size, not a minimum
    placeLabel(textLabel_, textBox_, 3, units);
    textScroller_.set_margin_top(units.down(1));
    placeLabel(resultLabel_, resultBox_, 8, units);
    resultScroller_.set_margin_top(units.down(3));

    for (auto* scroller : {&textScroller_, &resultScroller_}) {
        scroller->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_ALWAYS);
        scroller->set_shadow_type(Gtk::SHADOW_IN);
        scroller->set_vexpand(true);
        scroller->set_min_content_height(units.down(2 * 8));  // a couple of lines
    }
    for (auto* box : {&textBox_, &resultBox_}) {
        box->set_wrap_mode(Gtk::WRAP_WORD_CHAR);
        box->set_left_margin(3);
        box->set_right_margin(3);
        // As in a dialog: Tab moves to the next box, Ctrl+Tab types a tab.
        box->set_accepts_tab(false);
    }
    textScroller_.add(textBox_);
    resultScroller_.add(resultBox_);

    statusLine_.set_xalign(0.0F);
    statusLine_.set_yalign(0.0F);
    // A hint or a reason may be longer than the window is wide: wrapped onto
    // a second line before it is cut (the whole of it in the tooltip). Both
    // lines are always reserved, so that the boxes above never move.
    statusLine_.set_line_wrap(true);
    statusLine_.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
    statusLine_.set_ellipsize(Pango::ELLIPSIZE_END);
    statusLine_.set_lines(2);
    int lineWidth = 0;
    int twoLines = 0;
    statusLine_.create_pango_layout("X\nX")->get_pixel_size(lineWidth, twoLines);
    statusLine_.set_size_request(-1, twoLines);
    statusRow_.set_margin_top(units.down(3));
    statusRow_.set_spacing(units.across(2));
    spinner_.set_valign(Gtk::ALIGN_START);
    spinner_.set_no_show_all(true);
    statusRow_.pack_start(spinner_, Gtk::PACK_SHRINK);
    statusRow_.pack_start(statusLine_, Gtk::PACK_EXPAND_WIDGET);

    boxes_.pack_start(expressionLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(expressionBox_, Gtk::PACK_SHRINK);
    boxes_.pack_start(textLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(textScroller_, Gtk::PACK_EXPAND_WIDGET);
    boxes_.pack_start(resultLabel_, Gtk::PACK_SHRINK);
    boxes_.pack_start(resultScroller_, Gtk::PACK_EXPAND_WIDGET);
    boxes_.pack_start(statusRow_, Gtk::PACK_SHRINK);
    column_.pack_start(boxes_, Gtk::PACK_EXPAND_WIDGET);
    add(column_);

    nameForAssistiveTools(expressionBox_, "Expression");
    nameForAssistiveTools(textBox_, "Text");
    nameForAssistiveTools(resultBox_, "Result");
    nameForAssistiveTools(statusLine_, "Status");

    // The template's size, unless the screen is smaller (a high-DPI scale on a small screen).
    int width = units.across(templateWidth);
    int height = units.down(templateHeight);
    auto display = Gdk::Display::get_default();
    auto monitor = display ? display->get_primary_monitor() : Glib::RefPtr<Gdk::Monitor>();
    if (!monitor && display && display->get_n_monitors() > 0) monitor = display->get_monitor(0);
    if (monitor) {
        Gdk::Rectangle area;
        monitor->get_workarea(area);
        width = std::min(width, area.get_width());
        height = std::min(height, area.get_height());
    }
    set_default_size(width, height);
}

void MainWindow::connectSignals() {
    // The menu's one command acts on a single click, as a command item of a
    // menu bar does; a menu bar would otherwise only select it.
    versionItem_.signal_button_press_event().connect(
        [](GdkEventButton* event) {
            if (event->button != 1) return false;
            showVersionInfo();
            return true;
        },
        false);
    versionItem_.signal_activate().connect([] { showVersionInfo(); });
    expressionBox_.signal_changed().connect([this] {
        windowMessage_ = false;
        presenter_->expressionChanged();
    });
    textBox_.get_buffer()->signal_changed().connect([this] {
        windowMessage_ = false;
        presenter_->textChanged();
    });
    arrival_ = outcomesArrived_.connect([this] { presenter_->deliver(); });
    recordEdits();
    // Whether a conversion of the input method is on screen in a box.
    auto tracksConversion = +[](GtkWidget*, gchar* preedit, gpointer converting) {
        *static_cast<bool*>(converting) = preedit != nullptr && *preedit != '\0';
    };
    g_signal_connect(expressionBox_.gobj(), "preedit-changed", G_CALLBACK(tracksConversion), &expressionConverting_);
    g_signal_connect(textBox_.gobj(), "preedit-changed", G_CALLBACK(tracksConversion), &textConverting_);
    expressionBox_.signal_populate_popup().connect([this](Gtk::Menu* menu) { addLiteralItems(*menu); });
    resultBox_.signal_populate_popup().connect([this](Gtk::Menu* menu) { addResultItems(*menu); });
    // Before the class's own handler (the signal runs last), which copies only the shown text.
    g_signal_connect(resultBox_.gobj(), "copy-clipboard",
                     G_CALLBACK(+[](GtkTextView*, gpointer window) { static_cast<MainWindow*>(window)->copyResultSelection(); }),
                     this);
    resultBox_.get_buffer()->signal_changed().connect([this] {
        if (!showingResult_) resultEdited_ = true;
    });
    // A click on a Result line selects that group's text.
    resultBox_.signal_button_release_event().connect(
        [this](GdkEventButton* event) {
            if (event->button != 1 || resultBox_.get_buffer()->get_has_selection()) return false;
            int x = 0;
            int y = 0;
            resultBox_.window_to_buffer_coords(Gtk::TEXT_WINDOW_TEXT, static_cast<int>(event->x),
                                               static_cast<int>(event->y), x, y);
            Gtk::TextIter at;
            resultBox_.get_iter_at_location(at, x, y);
            selectGroupAt(static_cast<std::size_t>(at.get_offset()));
            return false;
        },
        true);
    textBox_.signal_style_updated().connect([this] { recolour(); });
    // A paste leaves the caret at its end; a long one would leave it out of
    // sight, since the box scrolls before the pasted lines are laid out. So
    // scroll once more when the layout has caught up (below its priority).
    textBox_.get_buffer()->signal_paste_done().connect([this](const Glib::RefPtr<Gtk::Clipboard>&) {
        pasteScroll_.disconnect();
        pasteScroll_ = Glib::signal_idle().connect(
            [this] {
                textBox_.scroll_to(textBox_.get_buffer()->get_insert());
                return false;
            },
            Glib::PRIORITY_LOW);
    });
    // After the widgets and their input methods: an Escape that cancels a
    // conversion there must not end the program.
    signal_key_press_event().connect(sigc::mem_fun(*this, &MainWindow::onWindowKey), true);
    expressionBox_.signal_key_press_event().connect(sigc::mem_fun(*this, &MainWindow::onExpressionKey), false);
    textBox_.signal_key_press_event().connect(sigc::mem_fun(*this, &MainWindow::onTextKey), false);
}

// Every insertion and erasure of the two input boxes, for undo.
void MainWindow::recordEdits() {
    expressionBox_.signal_insert_text().connect(
        [this](const Glib::ustring& text, int* position) {
            if (!replaying_) expressionHistory_.recordInsertion(static_cast<std::size_t>(*position), text);
        },
        false);
    expressionBox_.signal_delete_text().connect(
        [this](int start, int end) {
            if (replaying_) return;
            if (end < 0) end = expressionBox_.get_text_length();
            expressionHistory_.recordErasure(static_cast<std::size_t>(start), expressionBox_.get_chars(start, end));
        },
        false);
    // Typing resumed after the focus was elsewhere is a step of its own.
    expressionBox_.signal_focus_out_event().connect([this](GdkEventFocus*) {
        expressionHistory_.closeStep();
        return false;
    });
    textBox_.signal_focus_out_event().connect([this](GdkEventFocus*) {
        textHistory_.closeStep();
        return false;
    });
    auto buffer = textBox_.get_buffer();
    buffer->signal_insert().connect(
        [this](const Gtk::TextBuffer::iterator& at, const Glib::ustring& text, int) {
            if (!replaying_) textHistory_.recordInsertion(static_cast<std::size_t>(at.get_offset()), text);
        },
        false);
    buffer->signal_erase().connect(
        [this](const Gtk::TextBuffer::iterator& start, const Gtk::TextBuffer::iterator& end) {
            if (!replaying_) {
                textHistory_.recordErasure(static_cast<std::size_t>(start.get_offset()),
                                           textBox_.get_buffer()->get_text(start, end));
            }
        },
        false);
}

bool MainWindow::onWindowKey(GdkEventKey* event) {
    if (event->keyval != GDK_KEY_Escape) return false;
    close();
    return true;
}

bool MainWindow::undoKey(GdkEventKey* event, app::EditHistory& history,
                         void (MainWindow::*apply)(const std::vector<app::TextEdit>&)) {
    if ((event->state & GDK_CONTROL_MASK) == 0) return false;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    std::optional<std::vector<app::TextEdit>> edits;
    if ((event->keyval == GDK_KEY_z || event->keyval == GDK_KEY_Z) && !shift) {
        edits = history.undo();
    } else if (event->keyval == GDK_KEY_Z || event->keyval == GDK_KEY_z || event->keyval == GDK_KEY_y ||
               event->keyval == GDK_KEY_Y) {
        edits = history.redo();
    } else {
        return false;
    }
    if (edits) (this->*apply)(*edits);
    return true;
}

namespace {

bool isUndoOrRedoKey(const GdkEventKey* event) {
    if ((event->state & GDK_CONTROL_MASK) == 0) return false;
    switch (event->keyval) {
        case GDK_KEY_z: case GDK_KEY_Z: case GDK_KEY_y: case GDK_KEY_Y: return true;
        default: return false;
    }
}

}  // namespace

// Ctrl+Z and the like belong to the input method first. With a conversion on
// screen they cancel it and leave the committed text and its history alone
// (GTK's own input method would commit the conversion on a Ctrl key, and
// the window's undo would then change the text underneath it); otherwise the
// input method may take them before the window's undo does.
template <class Box>
bool MainWindow::undoKeyIn(Box& box, bool converting, GdkEventKey* event, app::EditHistory& history,
                           void (MainWindow::*apply)(const std::vector<app::TextEdit>&)) {
    if (converting) {
        box.reset_im_context();
        return true;
    }
    if (box.im_context_filter_keypress(event)) return true;
    return undoKey(event, history, apply);
}

bool MainWindow::onExpressionKey(GdkEventKey* event) {
    if (!isUndoOrRedoKey(event)) return false;
    return undoKeyIn(expressionBox_, expressionConverting_, event, expressionHistory_, &MainWindow::applyToExpression);
}

// Enter does nothing in the Text box; Ctrl+Enter starts a new line, Ctrl+Tab
// types a tab. An input method sees the keys first: Enter may confirm a conversion.
bool MainWindow::onTextKey(GdkEventKey* event) {
    if (isUndoOrRedoKey(event)) {
        return undoKeyIn(textBox_, textConverting_, event, textHistory_, &MainWindow::applyToText);
    }
    const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
    const bool tab = event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_ISO_Left_Tab;
    if (!enter && !tab) return false;
    if (textBox_.im_context_filter_keypress(event)) return true;
    const bool control = (event->state & GDK_CONTROL_MASK) != 0;
    if (tab && !control) return false;  // the focus moves on
    if (control) {
        auto buffer = textBox_.get_buffer();
        buffer->erase_selection(true, true);
        buffer->insert_interactive_at_cursor(enter ? "\n" : "\t");
        textBox_.scroll_to(buffer->get_insert());
    }
    return true;
}

void MainWindow::applyToExpression(const std::vector<app::TextEdit>& edits) {
    replaying_ = true;
    for (const app::TextEdit& edit : edits) {
        const auto at = static_cast<int>(edit.position);
        expressionBox_.delete_text(at, at + static_cast<int>(app::characterCount(edit.erased)));
        int position = at;
        expressionBox_.insert_text(edit.inserted, static_cast<int>(edit.inserted.size()), position);
        expressionBox_.set_position(position);
    }
    replaying_ = false;
}

void MainWindow::applyToText(const std::vector<app::TextEdit>& edits) {
    replaying_ = true;
    auto buffer = textBox_.get_buffer();
    for (const app::TextEdit& edit : edits) {
        const auto at = static_cast<int>(edit.position);
        auto end = buffer->erase(buffer->get_iter_at_offset(at),
                                 buffer->get_iter_at_offset(at + static_cast<int>(app::characterCount(edit.erased))));
        end = buffer->insert(end, edit.inserted);
        buffer->place_cursor(end);
    }
    textBox_.scroll_to(buffer->get_insert());
    replaying_ = false;
}

void MainWindow::showResult(const std::string& result, const app::ShownResult& shown) {
    result_ = result;
    shownResult_ = shown;
    auto buffer = resultBox_.get_buffer();
    showingResult_ = true;
    buffer->set_text(shown.text);
    for (const app::ShownResult::Piece& piece : shown.pieces) {
        if (!piece.marker) continue;
        buffer->apply_tag(markerTag_, buffer->get_iter_at_offset(static_cast<int>(piece.shown.start)),
                          buffer->get_iter_at_offset(static_cast<int>(piece.shown.end)));
    }
    showingResult_ = false;
    resultEdited_ = false;
}

void MainWindow::showStatus(const std::string& status) {
    // The window's own message stays until the boxes change: a late outcome
    // of the evaluation on screen (its growth warning) must not hide it.
    if (windowMessage_) return;
    statusLine_.set_text(status);
    statusLine_.set_tooltip_text(status);
}

MainWindow::~MainWindow() {
    pasteScroll_.disconnect();
    presenter_.reset();
}

void MainWindow::showBusy(bool busy) {
    if (busy) {
        spinner_.show();
        spinner_.start();
    } else {
        spinner_.stop();
        spinner_.hide();
    }
}

// Below the redraw's priority: the key is on screen before its text is read.
void MainWindow::scheduleSubmission() {
    submission_ = Glib::signal_idle().connect([this] {
        presenter_->submit();
        return false;
    });
}

void MainWindow::wake() { outcomesArrived_.emit(); }

void MainWindow::startTimer(int milliseconds) {
    timer_.disconnect();
    timer_ = Glib::signal_timeout().connect([this] {
        presenter_->timerFired();
        return false;
    }, static_cast<unsigned>(milliseconds));
}

void MainWindow::stopTimer() { timer_.disconnect(); }

void MainWindow::disarm() {
    submission_.disconnect();
    timer_.disconnect();
    arrival_.disconnect();
}

std::string MainWindow::expressionText() { return expressionBox_.get_text(); }

std::string MainWindow::textText() { return textBox_.get_buffer()->get_text(); }

}  // namespace tarnwick::gtk

namespace tarnwick::gtk {

void MainWindow::showMarks(const app::BoxMarks& marks) {
    textMarks_.mark(marks.groups, marks.matchedPart);
    resultMarks_.mark({marks.resultLines.begin(), marks.resultLines.end()}, std::nullopt);
    fault_ = marks.fault;
    growth_ = marks.growth;
    markExpression();
    shown_ = marks;
}

// The character where the expression fails (after its end, the last one),
// and the repetitions whose cost explodes: a wavy line in the theme's
// warning colour, without the fault's background.
void MainWindow::markExpression() {
    Pango::AttrList attributes;
    const Glib::ustring expression = expressionBox_.get_text();
    const char* text = expression.c_str();
    auto mark = [&](std::size_t from, std::size_t to, Pango::Attribute attribute) {
        attribute.set_start_index(static_cast<unsigned>(g_utf8_offset_to_pointer(text, static_cast<glong>(from)) - text));
        attribute.set_end_index(static_cast<unsigned>(g_utf8_offset_to_pointer(text, static_cast<glong>(to)) - text));
        attributes.insert(attribute);
    };
    if (growth_ && growth_->start < growth_->end && growth_->end <= expression.size()) {
        const Gdk::RGBA colour = warningColour(expressionBox_);
        mark(growth_->start, growth_->end, Pango::Attribute::create_attr_underline(Pango::UNDERLINE_ERROR));
        mark(growth_->start, growth_->end,
             Pango::Attribute::create_attr_underline_color(colour.get_red_u(), colour.get_green_u(), colour.get_blue_u()));
    }
    if (fault_ && !expression.empty()) {
        const std::size_t at = std::min(*fault_, expression.size() - 1);
        const Gdk::RGBA colour = faultColour(hasDarkTheme(expressionBox_));
        const auto red = colour.get_red_u();
        const auto green = colour.get_green_u();
        const auto blue = colour.get_blue_u();
        mark(at, at + 1, Pango::Attribute::create_attr_underline(Pango::UNDERLINE_ERROR));
        mark(at, at + 1, Pango::Attribute::create_attr_underline_color(red, green, blue));
        mark(at, at + 1, Pango::Attribute::create_attr_background(red, green, blue));
        mark(at, at + 1, Pango::Attribute::create_attr_foreground(0xFFFF, 0xFFFF, 0xFFFF));
    }
    expressionBox_.set_attributes(attributes);
}

void MainWindow::offerAttack(const std::string& attackText) { attackText_ = attackText; }

// The attack replaces Text as one undo step, so that Ctrl+Z gives the user's text back whole.
void MainWindow::tryAttack() {
    if (attackText_.empty()) return;
    auto buffer = textBox_.get_buffer();
    const std::string before = buffer->get_text();
    const std::string attack = attackText_;
    replaying_ = true;
    buffer->set_text(attack);
    replaying_ = false;
    textHistory_.recordReplacement(0, before, attack);
    buffer->place_cursor(buffer->begin());
    textBox_.scroll_to(buffer->get_insert());
}

void MainWindow::addLiteralItems(Gtk::Menu& menu) {
    auto* copy = Gtk::make_managed<Gtk::MenuItem>("Copy as C++");
    copy->signal_activate().connect([this] {
        Gtk::Clipboard::get()->set_text(app::expressionAsCppLiteral(expressionBox_.get_text()));
    });
    auto* paste = Gtk::make_managed<Gtk::MenuItem>("Paste C++ literal");
    paste->signal_activate().connect([this] {
        Gtk::Clipboard::get()->request_text([this](const Glib::ustring& text) { pasteLiteral(text); });
    });
    menu.append(*Gtk::make_managed<Gtk::SeparatorMenuItem>());
    menu.append(*copy);
    menu.append(*paste);
    auto* attack = Gtk::make_managed<Gtk::MenuItem>("Try the attack text");
    attack->set_sensitive(!attackText_.empty());
    attack->signal_activate().connect([this] { tryAttack(); });
    menu.append(*attack);
    menu.show_all();
}

// The decoded expression replaces Expression as one undo step; a refused text
// leaves it as it is, and the status line says why.
void MainWindow::pasteLiteral(const Glib::ustring& clipboard) {
    const app::PastedExpression pasted = app::expressionFromCppLiteral(clipboard);
    if (!pasted.utf8) {
        showStatus(pasted.reason);
        windowMessage_ = true;
        return;
    }
    const std::string before = expressionBox_.get_text();
    replaying_ = true;
    expressionBox_.set_text(*pasted.utf8);
    replaying_ = false;
    expressionHistory_.recordReplacement(0, before, *pasted.utf8);
    expressionBox_.set_position(-1);
}

// What the Result box holds: the whole Result, unless the user has typed into it.
std::string MainWindow::resultInBox() const {
    return resultEdited_ ? std::string(resultBox_.get_buffer()->get_text()) : result_;
}

void MainWindow::copyResultSelection() {
    if (resultEdited_) return;  // the box's own copy: its text is the user's now
    Gtk::TextIter start;
    Gtk::TextIter end;
    if (!resultBox_.get_buffer()->get_selection_bounds(start, end)) return;
    const GroupSpan selected{static_cast<std::size_t>(start.get_offset()), static_cast<std::size_t>(end.get_offset())};
    Gtk::Clipboard::get()->set_text(app::resultText(shownResult_, result_, selected));
    g_signal_stop_emission_by_name(resultBox_.gobj(), "copy-clipboard");
}

void MainWindow::addResultItems(Gtk::Menu& menu) {
    auto* copy = Gtk::make_managed<Gtk::MenuItem>("Copy Result");
    copy->signal_activate().connect([this] { Gtk::Clipboard::get()->set_text(resultInBox()); });
    menu.append(*Gtk::make_managed<Gtk::SeparatorMenuItem>());
    menu.append(*copy);
    menu.show_all();
}

void MainWindow::recolour() {
    const bool dark = hasDarkTheme(textBox_);
    textMarks_.recolour(dark);
    resultMarks_.recolour(dark);
    markExpression();
}

void MainWindow::selectGroupAt(std::size_t resultCharacter) {
    const auto& lines = shown_.resultLines;
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const GroupSpan& span) {
        return span.start <= resultCharacter && resultCharacter <= span.end;
    });
    if (line == lines.end()) return;
    const auto group = static_cast<std::size_t>(line - lines.begin());
    if (group >= shown_.groups.size() || !shown_.groups[group]) return;  // it took no part
    const GroupSpan span = *shown_.groups[group];
    auto buffer = textBox_.get_buffer();
    if (span.end > static_cast<std::size_t>(buffer->get_char_count())) return;  // the text has changed since
    // The cursor at the start, so that the scroll brings the group's beginning into view.
    buffer->select_range(buffer->get_iter_at_offset(static_cast<int>(span.start)),
                         buffer->get_iter_at_offset(static_cast<int>(span.end)));
    textBox_.scroll_to(buffer->get_insert(), 0.1);
}

}  // namespace tarnwick::gtk
