// Sheet sprites made of words: the match messages, the buttons in their three looks,
// panel labels, item name strips, stage names and the stage select labels.
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>
#include <cstring>
#include <map>
#include <string>

#include "art.h"
#include "core/stage_tables.h"
#include "sheet_sprites.h"

namespace gen {

namespace {

using namespace colour;

struct Message {
    const char* text;
    int screenX;  // where the game draws it; the word is centred on the screen's middle
    QColor colour;
};

const std::map<std::string, Message>& Messages() {
    static const std::map<std::string, Message> m = {
        {"msg.ready", {"READY", 154, kYellow}},    {"msg.go", {"GO!", 190, kLime}},
        {"msg.time_up", {"TIME UP", 30, kOrange}}, {"msg.game_set", {"GAME SET", 54, kOrange}},
        {"msg.draw", {"DRAW", 21, kCyan}},         {"msg.you_win", {"YOU WIN", 30, kLime}},
        {"msg.you_lose", {"YOU LOSE", 30, kRed}},  {"msg.pause", {"PAUSE", 25, kCyan}},
        {"msg.player1", {"PLAYER 1", 53, kCyan}},  {"msg.player2", {"PLAYER 2", 53, kMagenta}},
        {"msg.win", {"WIN", 93, kYellow}},
    };
    return m;
}

void PaintMessage(QPainter& p, const vx::SheetSprite& s, const Message& m) {
    const double cx = 256.0 - m.screenX;
    const double visible = std::min(s.w, vx::kSheetWidth - s.x);
    const double half = std::min(cx, visible - cx) - 6.0;
    int px = 40;
    QPainterPath path;
    for (;; px -= 2) {
        path = TextPath(m.text, UiFont(px), QPointF(cx, s.h / 2.0));
        if (path.boundingRect().width() * 1.0 + 16 <= 2 * half || px <= 16) break;
    }
    // A forward lean gives the arcade words their speed.
    QTransform lean;
    lean.translate(cx, s.h / 2.0);
    lean.shear(-0.18, 0);
    lean.translate(-cx, -s.h / 2.0);
    path = lean.map(path);
    // Speed lines on either side.
    const QRectF ink = path.boundingRect();
    p.setPen(QPen(Dim(m.colour, 0.8), 2.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        double y = s.h / 2.0 - 8 + 8 * i;
        double len = 14 - 4 * std::abs(i - 1);
        p.drawLine(QPointF(ink.left() - 8 - len, y), QPointF(ink.left() - 8, y));
        p.drawLine(QPointF(ink.right() + 8, y), QPointF(ink.right() + 8 + len, y));
    }
    QColor halo = m.colour;
    halo.setAlpha(120);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(halo, 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Dim(m.colour, 0.55), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    QLinearGradient fill(0, ink.top(), 0, ink.bottom());
    fill.setColorAt(0.0, Mix(m.colour, kIce, 0.85));
    fill.setColorAt(1.0, m.colour);
    p.setPen(QPen(m.colour, 1.5));
    p.setBrush(fill);
    p.drawPath(path);
}

const std::map<std::string, const char*>& ButtonTexts() {
    static const std::map<std::string, const char*> m = {
        {"vs_cpu", "1P VS CPU"},
        {"vs_2p", "1P VS 2P"},
        {"quit", "QUIT"},
        {"return", "RETURN"},
        {"ok", "OK"},
        {"retry", "RETRY"},
        {"stage_select", "STAGE SELECT"},
        {"opening", "OPENING"},
    };
    return m;
}

void PaintButton(QPainter& p, const vx::SheetSprite& s, const std::string& id, const std::string& look) {
    // RETURN stands at x 350: only the part that fits on the 512-pixel screen is drawn.
    const double w = id == "return" ? 162.0 : s.w;
    const QRectF body(1.0, 1.0, w - 2.0, s.h - 2.0);
    const bool hover = look == "hover", pressed = look == "pressed";
    QLinearGradient g(0, 0, 0, s.h);
    QColor edge, text;
    if (pressed) {
        g.setColorAt(0.0, QColor(0x5A, 0x08, 0x4E));
        g.setColorAt(1.0, QColor(0xC4, 0x16, 0xA0));
        edge = kYellow;
        text = kYellow;
    } else if (hover) {
        g.setColorAt(0.0, QColor(0x7A, 0xF4, 0xFF));
        g.setColorAt(1.0, QColor(0x10, 0x8A, 0xB8));
        edge = Mix(kCyan, kIce, 0.45);
        text = QColor(0x06, 0x0C, 0x2A);
    } else {
        g.setColorAt(0.0, QColor(0x1E, 0x16, 0x4C));
        g.setColorAt(1.0, QColor(0x0C, 0x0A, 0x26));
        edge = kCyan;
        text = kCyan;
    }
    p.setPen(QPen(edge, hover ? 2.0 : 1.5));
    p.setBrush(g);
    p.drawRoundedRect(body, 9, 9);
    const QPointF centre(w / 2.0, s.h / 2.0 + (pressed ? 1.0 : 0.0));
    const QString label = ButtonTexts().at(id);
    if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(text);
        p.drawPath(TextPath(label, UiFont(15), centre));
        // Hover arrows either side of the word.
        QRectF ink = TextPath(label, UiFont(15), centre).boundingRect();
        QPolygonF l, r;
        l << QPointF(ink.left() - 12, centre.y() - 5) << QPointF(ink.left() - 5, centre.y())
          << QPointF(ink.left() - 12, centre.y() + 5);
        r << QPointF(ink.right() + 12, centre.y() - 5) << QPointF(ink.right() + 5, centre.y())
          << QPointF(ink.right() + 12, centre.y() + 5);
        if (ink.left() - 12 > 4) {
            p.drawPolygon(l);
            p.drawPolygon(r);
        }
    } else {
        NeonText(p, label, UiFont(15), centre, text, 1.2);
    }
}

void PlainText(QPainter& p, const QString& text, const QFont& font, QPointF at, const QColor& c, bool left) {
    QPainterPath path = TextPath(text, font, at);
    if (left) path.translate(at.x() - path.boundingRect().left(), 0);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

QColor StripColour(int kind) {
    const QColor c[9] = {
        kLime, kOrange, kRed, kYellow, kCyan, kRed, kViolet, kMagenta, QColor(0x8C, 0xA6, 0xD8)};
    return c[kind - 1];
}

}  // namespace

bool PaintWords(QPainter& p, const vx::SheetSprite& s, QColor& under) {
    const std::string n = s.name;
    auto msg = Messages().find(n);
    if (msg != Messages().end()) {
        PaintMessage(p, s, msg->second);
        return true;
    }
    if (n.rfind("button.", 0) == 0) {
        const size_t dot = n.rfind('.');
        std::string id = n.substr(7, dot - 7);
        std::string look = n.substr(dot + 1);
        PaintButton(p, s, id, look);
        under = (id == "retry" || id == "stage_select" || id == "opening") ? kTable : kDark;
        return true;
    }
    if (n == "label.score_limit") {
        PlainText(p, "SCORE", CondensedFont(12), QPointF(26.5, 9), kCyan, false);
        PlainText(p, "LIMIT", CondensedFont(12), QPointF(26.5, 23), kCyan, false);
        under = kPanel;
    } else if (n.rfind("limit.", 0) == 0) {
        PlainText(p, QString::fromStdString(n.substr(6)), CondensedFont(13), QPointF(13.5, 6.5), kYellow,
                  false);
        under = kPanel;
    } else if (n.rfind("item.strip.", 0) == 0) {
        static const char* names[9] = {"LENGTH UP", "LENGTH DOWN",  "LOST FORWARD", "DOUBLE", "BACK BOOST",
                                       "PANIC",     "RANDOM SPEED", "SHIFT CHANGE", "BLIND"};
        const int kind = std::atoi(n.c_str() + 11);
        const QColor c = StripColour(kind);
        // Neighbouring strips share their first and last rows, which stay transparent
        // for every strip alike: the picture is the 14 rows between.
        p.fillRect(QRectF(0, 1, 162, 14), QColor(0x16, 0x0C, 0x36));
        p.fillRect(QRectF(0, 1, 4, 14), c);
        p.fillRect(QRectF(158, 1, 4, 14), c);
        PlainText(p, names[kind - 1], CondensedFont(11), QPointF(81, 8), c, false);
        under = kPanel;
    } else if (n.rfind("stage.name.", 0) == 0) {
        PlainText(p, vx::StageName(std::atoi(n.c_str() + 11)), UiFont(12), QPointF(57, 7), kYellow, false);
        under = kDark;
    } else if (n.rfind("panel.", 0) == 0) {
        static const std::map<std::string, const char*> names = {{"panel.nothing", "NOTHING"},
                                                                 {"panel.length_up", "LENGTH UP"},
                                                                 {"panel.double", "DOUBLE"},
                                                                 {"panel.blind", "BLIND"},
                                                                 {"panel.shift_change", "SHIFT CHANGE"}};
        p.setPen(Qt::NoPen);
        p.setBrush(kOrange);
        p.drawEllipse(QPointF(6, 7), 2.5, 2.5);
        PlainText(p, names.at(n), CondensedFont(11), QPointF(14, 7), kOrange, true);
        under = kDark;
    } else if (n.rfind("label.mode.", 0) == 0) {
        p.setPen(QPen(kMagenta, 1.2));
        p.setBrush(QColor(0x24, 0x08, 0x30));
        p.drawRoundedRect(QRectF(0.6, 0.6, 81.8, 13.8), 6, 6);
        PlainText(p, n == "label.mode.vs_cpu" ? "VS CPU" : "VS 2P", CondensedFont(11), QPointF(41.5, 7.5),
                  Mix(kMagenta, kIce, 0.4), false);
        under = kDark;
    } else {
        return false;
    }
    return true;
}

}  // namespace gen
