// The window as the operator sees it, offscreen at 96 and at 144 dpi: its
// client size; every control of the model as a widget named after it, with its
// caption and state; the page buttons in their order; nothing overlapping or
// cut on any page; a PNG of each page. What a screen reader hears of it is the
// accessibility test's.

#include "ui/console_session.h"
#include "ui/frame_box.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <gtest/gtest.h>

namespace wc {
namespace {

QString caption_of(const QWidget& w) {
    if (const auto* frame = qobject_cast<const FrameBox*>(&w)) {
        return frame->title();
    }
    const bool has_text = w.inherits("QAbstractButton") || w.inherits("QLabel");
    return w.property(w.isWindow() ? "windowTitle" : has_text ? "text" : "none").toString();
}

// The width the widget's text needs, by the widget's own measure; 0 for widgets without text.
int needed_width(QWidget& w) {
    const int text = w.fontMetrics().horizontalAdvance(w.property("text").toString());
    if (qobject_cast<QPushButton*>(&w) != nullptr) {
        // The style's own minimum width is no need of the text.
        return text + w.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &w) +
               2 * w.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &w);
    }
    if (qobject_cast<QLineEdit*>(&w) != nullptr) {
        return text + 8;
    }
    const bool measured = w.inherits("QLabel") || w.inherits("QCheckBox") || w.inherits("QRadioButton") ||
                          w.inherits("QComboBox");
    return measured ? w.sizeHint().width() : 0;
}

// No two shown siblings overlap, nothing sticks out of its frame or the
// window, and every text has the room it needs.
void expect_nothing_overlaps_or_is_cut(const FormWindow& window, const Form1& f) {
    EXPECT_GE(window.widget_of(f.TextInfo)->y(), window.height()) << "TextInfo lies below the client area";
    std::map<QWidget*, std::vector<QWidget*>> by_parent;
    for (const Control* control : f.controls()) {
        QWidget* w = window.widget_of(*control);
        if (w != nullptr && w != &window && control != &f.TextInfo && w->isVisibleTo(&window)) {
            by_parent[w->parentWidget()].push_back(w);
        }
    }
    for (const auto& [parent, children] : by_parent) {
        const QRect room = parent == &window ? window.rect() : parent->contentsRect();
        for (std::size_t a = 0; a < children.size(); ++a) {
            QWidget& w = *children[a];
            SCOPED_TRACE(w.objectName().toStdString());
            EXPECT_TRUE(room.contains(w.geometry())) << "cut by its frame";
            for (std::size_t b = a + 1; b < children.size(); ++b) {
                EXPECT_FALSE(w.geometry().intersects(children[b]->geometry()))
                    << "overlaps " << children[b]->objectName().toStdString();
            }
            if (const int needed = needed_width(w); needed > 0) {
                EXPECT_LE(needed, w.width()) << "text cut";
                EXPECT_LE(w.sizeHint().height(), w.height()) << "text cut";
            }
        }
    }
}

class WindowAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(WindowAtDpi, ShowsEveryControlAndEveryPageWithNothingOverlappingOrCut) {
    ConsoleSession s({}, GetParam() / 96.0);
    Form1& f = s.console.f;
    // The widest texts the window ever holds, as discovery and a network read put them.
    f.cbo_ipaddr.add_item("AA:BB:CC:DD:EE:FF");
    f.cbo_model.add_item(" 255");
    for (TextBox* field : {&f.txt_ip, &f.txt_net, &f.txt_gate}) {
        field->set_text("255.255.255.255");
    }
    s.window.show();
    EXPECT_EQ(s.window.size(), GetParam() == 96 ? QSize(865, 519) : QSize(1298, 779));

    const QString dpi = QString("_%1dpi.png").arg(GetParam());
    QDir().mkpath(SCREENSHOT_DIR);
    EXPECT_TRUE(s.window.grab().save(SCREENSHOT_DIR "/startup" + dpi));
    expect_nothing_overlaps_or_is_cut(s.window, f);
    const std::pair<const Button*, int> page_buttons[] = {
        {&f.opt_tv1, 0}, {&f.opt_tv2, 1}, {&f.opt_tv3, 4}, {&f.opt_io, 2}, {&f.opt_image, 3}};
    int above = -1, shot = 0;
    for (auto [button, page] : page_buttons) {
        SCOPED_TRACE(button->name());
        auto* pushed = static_cast<QPushButton*>(s.window.widget_of(*button));
        EXPECT_GT(pushed->y(), above) << "the page buttons run from top to bottom";
        EXPECT_EQ(pushed->x(), s.window.widget_of(f.opt_tv1)->x());
        above = pushed->y();
        pushed->click();
        for (int p = 0; p < page_count; ++p) {
            EXPECT_EQ(s.window.widget_of(f.frame_control[static_cast<std::size_t>(p)])->isVisible(),
                      p == page)
                << "page " << p;
        }
        EXPECT_TRUE(s.window.grab().save(
            QString(SCREENSHOT_DIR "/page_%1_%2").arg(++shot).arg(button->name().c_str()) + dpi));
        expect_nothing_overlaps_or_is_cut(s.window, f);
    }

    // Every page has been shown, so every control has its widget now, and
    // Tab visits them in the model's order whichever page was built first.
    const auto takes_tab = [](const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) != 0; };
    QWidget* first = s.window.widget_of(f.opt_tv1); // the first control that takes Tab
    std::map<const QWidget*, int> tab_position{{first, 0}};
    for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
        tab_position.emplace(w, static_cast<int>(tab_position.size()));
    }
    int previous = -1;
    for (const Control* control : f.controls()) {
        SCOPED_TRACE(control->name());
        const QString name = QString::fromStdString(control->name());
        QWidget* w = control == &f.window ? &s.window : s.window.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), name);
        EXPECT_EQ(w->isHidden(), !control->visible());
        EXPECT_EQ(caption_of(*w).toStdString(), control->caption());
        const auto* frame = qobject_cast<FrameBox*>(w);
        EXPECT_EQ(frame != nullptr ? frame->shown_enabled() : w->isEnabled(), control->shown_enabled());
        if (takes_tab(w)) {
            EXPECT_GT(tab_position.at(w), previous) << "out of Tab order";
            previous = tab_position.at(w);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowAtDpi, ::testing::Values(96, 144),
                         [](const auto& dpi) { return std::to_string(dpi.param) + "dpi"; });

} // namespace
} // namespace wc
