// The window as the operator sees it, rendered offscreen at 96 and at 144 dpi:
// every control of the model present with its caption and state, the page
// buttons in their order, nothing overlapping or cut, and a PNG of the
// start-up window and of each page kept for a look.

#include "qt_print.h"
#include "ui/console_session.h"
#include "ui/form_layout.h"
#include "ui/frame_box.h"
#include "ui/widget_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <gtest/gtest.h>
#include <set>

namespace wc::uitest {
namespace {

bool shown_in_model(const Control& control) {
    for (const Control* c = &control; c != nullptr; c = c->parent()) {
        if (!c->visible()) {
            return false;
        }
    }
    return true;
}

QString caption_of(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) {
        return frame->title();
    }
    return {};
}

class WindowAtScale : public ::testing::TestWithParam<double> {
protected:
    WindowAtScale() : s({}, GetParam()) {
        // What discovery and a network read put into the window, so that
        // the widest texts the window ever holds are measured too.
        f.cbo_ipaddr.add_item("AA:BB:CC:DD:EE:FF");
        f.cbo_model.add_item(" 255");
        for (TextBox* field : {&f.txt_ip, &f.txt_net, &f.txt_gate}) {
            field->set_text("255.255.255.255");
        }
        s.window.show();
    }

    QWidget& widget(const Control& control) {
        QWidget* w = s.window.widget_of(control);
        EXPECT_NE(w, nullptr) << control.name();
        return *w;
    }

    std::string dpi_suffix() const { return std::to_string(static_cast<int>(GetParam() * 96)) + "dpi"; }

    void save_screenshot(const std::string& what) {
        QDir().mkpath(SCREENSHOT_DIR);
        const QString path =
            QString(SCREENSHOT_DIR "/") + QString::fromStdString(what + "_" + dpi_suffix()) + ".png";
        EXPECT_TRUE(s.window.grab().save(path)) << path.toStdString();
    }

    // No two shown siblings overlap, nothing sticks out of its frame (or the
    // window), and every text has the room it needs.
    void expect_nothing_overlaps_or_is_cut() {
        std::map<QWidget*, std::vector<const Control*>> by_parent;
        for (const Control* control : f.controls()) {
            QWidget* w = s.window.widget_of(*control);
            if (w != nullptr && w->isVisibleTo(&s.window)) {
                by_parent[w->parentWidget()].push_back(control);
            }
        }
        for (const auto& [parent, children] : by_parent) {
            const QRect room =
                parent == &s.window ? s.window.rect() : static_cast<QGroupBox*>(parent)->contentsRect();
            for (std::size_t a = 0; a < children.size(); ++a) {
                const QRect rect = widget(*children[a]).geometry();
                if (children[a] == &f.TextInfo) {
                    EXPECT_GE(rect.top(), s.window.height()) << "TextInfo lies below the client area";
                } else {
                    EXPECT_TRUE(room.contains(rect)) << children[a]->name() << " is cut by its frame";
                }
                for (std::size_t b = a + 1; b < children.size(); ++b) {
                    EXPECT_FALSE(rect.intersects(widget(*children[b]).geometry()))
                        << children[a]->name() << " overlaps " << children[b]->name();
                }
                expect_text_fits(*children[a]);
            }
        }
    }

    void expect_text_fits(const Control& control) {
        QWidget& w = widget(control);
        const std::string name = control.name();
        if (qobject_cast<QLabel*>(&w) != nullptr || qobject_cast<QCheckBox*>(&w) != nullptr ||
            qobject_cast<QRadioButton*>(&w) != nullptr) {
            EXPECT_LE(w.sizeHint().width(), w.width()) << name;
            EXPECT_LE(w.sizeHint().height(), w.height()) << name;
        } else if (auto* button = qobject_cast<QPushButton*>(&w)) {
            // The style's own minimum width is no need of the text.
            const int around = w.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &w) +
                               2 * w.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &w);
            EXPECT_LE(w.fontMetrics().horizontalAdvance(button->text()) + around, w.width()) << name;
            EXPECT_LE(w.sizeHint().height(), w.height()) << name;
        } else if (auto* list = qobject_cast<QComboBox*>(&w)) {
            EXPECT_LE(list->sizeHint().width(), w.width()) << name;
            EXPECT_LE(list->sizeHint().height(), w.height()) << name;
            if (list->isEditable()) {
                EXPECT_LE(w.fontMetrics().horizontalAdvance(list->currentText()) + 4,
                          list->lineEdit()->width())
                    << name;
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(&w); edit != nullptr && &control != &f.TextInfo) {
            EXPECT_LE(w.fontMetrics().horizontalAdvance(edit->text()) + 8, w.width()) << name;
            EXPECT_LE(w.sizeHint().height(), w.height()) << name;
        }
    }

    ConsoleSession s;
    Form1& f = s.console.f;
};

TEST_P(WindowAtScale, HasTheDesignSizeScaledWithTheScreen) {
    EXPECT_EQ(s.window.size(), QSize(to_pixels(12975, GetParam()), to_pixels(7785, GetParam())));
    if (GetParam() == 1.0) {
        EXPECT_EQ(s.window.size(), QSize(865, 519));
    }
    EXPECT_EQ(s.window.windowTitle(), "v1.15");
}

TEST_P(WindowAtScale, ShowsEveryControlOfTheModelWithItsCaptionAndState) {
    for (const Control* control : f.controls()) {
        const QString name = QString::fromStdString(control->name());
        QWidget* w = control == &f.window ? &s.window : s.window.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << control->name();
        EXPECT_EQ(w->objectName(), name);
        if (control == &f.window) {
            continue;
        }
        EXPECT_EQ(caption_of(*w), QString::fromStdString(control->caption())) << control->name();
        EXPECT_EQ(w->isVisibleTo(&s.window), shown_in_model(*control)) << control->name();
        const auto* frame = qobject_cast<FrameBox*>(w);
        EXPECT_EQ(frame != nullptr ? frame->shown_enabled() : w->isEnabled(), control->shown_enabled())
            << control->name();
    }
}

TEST_P(WindowAtScale, PageButtonsStandForPagesZeroOneFourTwoThreeFromTopToBottom) {
    const std::pair<const Button*, int> order[] = {
        {&f.opt_tv1, 0}, {&f.opt_tv2, 1}, {&f.opt_tv3, 4}, {&f.opt_io, 2}, {&f.opt_image, 3}};
    const char* const names[] = {"tv_wall_1", "tv_wall_2", "tv_wall_3", "io_setup", "image_adjust"};
    save_screenshot("startup");
    expect_nothing_overlaps_or_is_cut();
    int above = -1;
    for (std::size_t k = 0; k < std::size(order); ++k) {
        auto [button, page] = order[k];
        auto& pushed = static_cast<QPushButton&>(widget(*button));
        EXPECT_GT(pushed.y(), above) << button->name();
        EXPECT_EQ(pushed.x(), widget(f.opt_tv1).x());
        above = pushed.y();

        pushed.click();
        for (int p = 0; p < page_count; ++p) {
            EXPECT_EQ(widget(f.frame_control[static_cast<std::size_t>(p)]).isVisible(), p == page)
                << button->name() << " page " << p;
        }
        save_screenshot("page_" + std::to_string(k + 1) + "_" + names[k]);
        expect_nothing_overlaps_or_is_cut();
    }
}

TEST_P(WindowAtScale, ShowsTheColouredControlsAndTheConnectingNotice) {
    f.power_ctl[0].set_visible(false);
    f.power_ctl[1].set_visible(true);
    f.lbl_con[2].set_visible(true);
    f.con_interface.set_enabled(true);
    save_screenshot("power_on_connecting");
    expect_nothing_overlaps_or_is_cut();
    EXPECT_EQ(widget(f.power_ctl[1]).palette().color(QPalette::Button), QColor(0, 255, 0));
    EXPECT_EQ(widget(f.power_ctl[2]).palette().color(QPalette::Button), QColor(255, 0, 0));
    EXPECT_EQ(widget(f.btn_discon).palette().color(QPalette::Button), QColor(255, 0, 0));
    EXPECT_EQ(widget(f.btn_con).palette().color(QPalette::Button),
              QApplication::palette().color(QPalette::Button));
    QWidget& notice = widget(f.lbl_con[2]);
    EXPECT_EQ(notice.palette().color(QPalette::Active, QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(notice.palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(notice.autoFillBackground());
}

TEST_P(WindowAtScale, EditableListsShowTheirDesignTextUntilAValueComes) {
    std::set<std::string> design_texts;
    for (const Control* control : f.controls()) {
        const auto* list = dynamic_cast<const ComboBox*>(control);
        if (list == nullptr || list->style() != ComboBox::Style::editable) {
            continue;
        }
        auto& shown = static_cast<QComboBox&>(widget(*list));
        EXPECT_EQ(shown.currentIndex(), -1) << list->name();
        EXPECT_EQ(shown.currentText().toStdString(), list->text()) << list->name();
        EXPECT_EQ(shown.count(), list->list_count()) << list->name();
        design_texts.insert(list->text());
    }
    EXPECT_EQ(design_texts, (std::set<std::string>{"0~100", "0~20", "0~10", "1~15"}));
}

TEST_P(WindowAtScale, UsesTheDesignFaceAndSizes) {
    const QFont caption = widget(f.sys_setting).font();
    const QFont control = widget(f.btn_con).font();
    EXPECT_EQ(caption.families(), (QStringList{"微軟正黑體", "Noto Sans CJK TC"}));
    EXPECT_DOUBLE_EQ(caption.pointSizeF(), 12.0 * GetParam());
    EXPECT_DOUBLE_EQ(control.pointSizeF(), 9.75 * GetParam());
    // Without the Windows face, the Traditional Chinese face that Debian ships.
    EXPECT_EQ(QFontInfo(control).family(), "Noto Sans CJK TC");
}

std::string dpi_name(const ::testing::TestParamInfo<double>& param) {
    return std::to_string(static_cast<int>(param.param * 96)) + "dpi";
}

INSTANTIATE_TEST_SUITE_P(Dpi, WindowAtScale, ::testing::Values(1.0, 1.5), dpi_name);

TEST(AccessibleNames, AreUniqueSpeakableAndTellRepeatedCaptionsApart) {
    ConsoleSession s;
    std::map<QString, std::string> owners;
    for (const Control* control : s.console.f.controls()) {
        const QWidget* w = control == &s.console.f.window ? &s.window : s.window.widget_of(*control);
        const QString name = w->accessibleName();
        EXPECT_FALSE(name.trimmed().isEmpty()) << control->name();
        const auto [it, fresh] = owners.emplace(name, control->name());
        EXPECT_TRUE(fresh) << control->name() << " and " << it->second << " are both \"" << name.toStdString()
                           << "\"";
    }
    const std::pair<const char*, const char*> expected[] = {
        {"btn_tvwall_send", "Manual setup Send"},
        {"btn_H_Bezel_send", "Bezel Correction Send"},
        {"btn_img_rst_0", "Brightness Reset"},
        {"btn_save_1", "Save FAV 1"},
        {"btn_recall_1", "Recall FAV 1"},
        {"opt_bezel_1", "Bezel Correction ON"},
        {"opt_mute_1", "Mute ON"},
        {"Check1_0", "ALL IP Power"},
        {"Chk_img_0", "ALL IP Brightness"},
        {"chk_io_4", "ALL IP OSD Display Timeout"},
        {"cbo_image_bri_2", "Brightness OUT B"},
        {"cbo_osd_1", "OSD V Offset"},
        {"cbo_ipaddr", "MAC"},
        {"txt_gate", "Default Gateway"},
        {"btn_con", "Connect"},
        {"sys_setting", "System Settings"},
    };
    for (auto [control, name] : expected) {
        EXPECT_EQ(s.window.findChild<QWidget*>(control)->accessibleName(), name) << control;
    }
}

} // namespace
} // namespace wc::uitest
