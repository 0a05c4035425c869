#include "controls/IconButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

bool stylesActive = true;

// Classic three-dimensional edges, two pixels wide.
void drawEdge(QPainter& p, const QRect& r, bool sunken, const QPalette& pal) {
    const QColor outerTopLeft = sunken ? pal.dark().color() : pal.light().color();
    const QColor outerBottomRight = sunken ? pal.light().color() : pal.shadow().color();
    const QColor innerTopLeft = sunken ? pal.shadow().color() : pal.midlight().color();
    const QColor innerBottomRight = sunken ? pal.midlight().color() : pal.dark().color();
    const auto frame = [&p](const QRect& f, const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(f.left(), f.bottom() - 1, f.left(), f.top());
        p.drawLine(f.left(), f.top(), f.right() - 1, f.top());
        p.setPen(bottomRight);
        p.drawLine(f.left(), f.bottom(), f.right(), f.bottom());
        p.drawLine(f.right(), f.bottom(), f.right(), f.top());
    };
    frame(r, outerTopLeft, outerBottomRight);
    frame(r.adjusted(1, 1, -1, -1), innerTopLeft, innerBottomRight);
}

} // namespace

QRgb GreyIconPixel(QRgb pixel) {
    const int a = qAlpha(pixel);
    int d = 255 - (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
    if (a == 0 && d == 255)
        return pixel;
    if (d == 0)
        d = 1;
    const int grey = 255 - d;
    return qRgba(grey, grey, grey, a);
}

QImage GreyIconImage(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            line[x] = GreyIconPixel(line[x]);
    }
    return grey;
}

QColor ColorFromValue(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

IconButtonLayout ComputeIconButtonLayout(QSize button, QSize icon, bool hasCaption, int align) {
    const int w = button.width();
    const int h = button.height();
    const int iw = icon.width();
    const int ih = icon.height();
    IconButtonLayout layout;
    if (icon.isEmpty()) {
        layout.captionArea = QRect(0, 0, w, h);
        return layout;
    }
    if (!hasCaption) {
        layout.iconPos = QPoint((w - iw) / 2, (h - ih) / 2);
        return layout;
    }
    switch (align) {
    case CIconButton::IconAbove: {
        const int iconAreaHeight = h * 3 / 4;
        layout.iconPos = QPoint((w - iw) / 2, (iconAreaHeight - ih) / 2);
        const int top = ih * 4 / 3;
        layout.captionArea = QRect(0, top, w, qMax(0, h - top));
        break;
    }
    case CIconButton::IconRight:
        layout.iconPos = QPoint(w - iw / 2 - iw, (h - ih) / 2);
        layout.captionArea = QRect(0, 0, qMax(0, w - 2 * iw), h);
        break;
    default:
        layout.iconPos = QPoint(iw / 2, (h - ih) / 2);
        layout.captionArea = QRect(2 * iw, 0, qMax(0, w - 2 * iw), h);
        break;
    }
    return layout;
}

// ---------------------------------------------------------------------------------------------

COwnerDrawButton::COwnerDrawButton(QWidget* parent) : QPushButton(parent) {
    Attach(PushButton);
}

void COwnerDrawButton::Attach(int type) {
    buttonType = type & 0x0F;
    if (buttonType == DefPushButton) {
        isDefault = true;
        pushLike = true;
        buttonType = PushButton;
        setDefault(true);
    } else if (buttonType == PushButton) {
        pushLike = true;
    }
    update();
}

void COwnerDrawButton::SetButtonStyle(int type) {
    const int kind = type & 0x0F;
    if (kind == PushButton || kind == DefPushButton) {
        isDefault = kind == DefPushButton;
        setDefault(isDefault);
    }
    update();
}

int COwnerDrawButton::DialogCode() const {
    int code = ButtonCode;
    if (buttonType == RadioButton || buttonType == AutoRadioButton)
        code |= RadioButtonCode;
    else if (buttonType == GroupBox)
        code |= StaticCode;
    if (pushLike)
        code |= (isDefault || QPushButton::isDefault()) ? DefaultPushButton : UndefaultPushButton;
    return code;
}

// ---------------------------------------------------------------------------------------------

CIconButton::CIconButton(QWidget* parent) : COwnerDrawButton(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
}

CIconButton::~CIconButton() = default;

void CIconButton::SetVisualStylesActive(bool active) {
    stylesActive = active;
}

bool CIconButton::VisualStylesActive() {
    return stylesActive;
}

int CIconButton::DialogCode() const {
    // Every key but Tab, so that Enter and Space reach the button rather than the dialog.
    return WantAllKeys;
}

QSize CIconButton::iconPixelSize() const {
    if (icon.isNull())
        return QSize();
    return icon.actualSize(QSize(32, 32));
}

void CIconButton::SetIcon(const QIcon& newIcon, int align) {
    icon = newIcon;
    greyIcon = QImage();
    if (!icon.isNull())
        greyIcon = GreyIconImage(icon.pixmap(iconPixelSize(), devicePixelRatioF()).toImage());
    iconAlign = align;
    repaint();
}

bool CIconButton::UsesVisualStyle() const {
    return useTheme && stylesActive && faceColor == -1 && captionColor == -1;
}

bool CIconButton::DrawnPressed() const {
    if (toggle)
        return (mouseDown && !hover) ? !checked : checked;
    return isDown();
}

void CIconButton::refreshTheme() {
    themeDirty = false;
    theme = stylesActive ? style() : nullptr;
}

void CIconButton::setHover(bool inside) {
    if (inside == hover)
        return;
    hover = inside;
    update();
}

void CIconButton::sendMouse(QEvent::Type type) {
    const QPointF at(1, 1);
    QMouseEvent synthetic(type, at, mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
    if (type == QEvent::MouseButtonPress)
        mousePressEvent(&synthetic);
    else
        mouseReleaseEvent(&synthetic);
}

void CIconButton::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!e->isAutoRepeat())
            sendMouse(QEvent::MouseButtonPress);
        e->accept();
        return;
    }
    COwnerDrawButton::keyPressEvent(e);
}

void CIconButton::keyReleaseEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!e->isAutoRepeat())
            sendMouse(QEvent::MouseButtonRelease);
        e->accept();
        return;
    }
    COwnerDrawButton::keyReleaseEvent(e);
}

void CIconButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        mouseDown = true;
        if (toggle) {
            update();
            e->accept();
            return;
        }
    }
    COwnerDrawButton::mousePressEvent(e);
}

void CIconButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        mouseDown = false;
        if (pendingDouble) {
            // The second click of a double-click.
            pendingDouble = false;
            setDown(false);
            click();
        }
        if (toggle) {
            if (rect().contains(e->position().toPoint())) {
                checked = !checked;
                repaint();
                emit checkedChanged(checked);
                emit clicked(checked);
            } else {
                update();
            }
            e->accept();
            return;
        }
    }
    COwnerDrawButton::mouseReleaseEvent(e);
}

void CIconButton::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        COwnerDrawButton::mouseDoubleClickEvent(e);
        return;
    }
    mouseDown = true;
    if (toggle) {
        update();
    } else {
        setDown(true);
        pendingDouble = true;
    }
    e->accept();
}

void CIconButton::mouseMoveEvent(QMouseEvent* e) {
    setHover(rect().contains(e->position().toPoint()));
    COwnerDrawButton::mouseMoveEvent(e);
}

void CIconButton::leaveEvent(QEvent* e) {
    hover = false;
    update();
    COwnerDrawButton::leaveEvent(e);
}

void CIconButton::changeEvent(QEvent* e) {
    if (e->type() == QEvent::StyleChange && stylesActive) {
        theme = nullptr;
        themeDirty = true;
        update();
    }
    COwnerDrawButton::changeEvent(e);
}

void CIconButton::drawClassicFrame(QPainter& p, bool pressed, bool focusFrame) const {
    QRect r = rect();
    const QPalette& pal = palette();
    if (!flat || faceColor != -1) {
        const QColor face =
            faceColor != -1 ? ColorFromValue(quint32(faceColor)) : pal.button().color();
        p.fillRect(r.adjusted(1, 1, -1, -1), face);
    }
    if (focusFrame && !(toggle && pressed)) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (pressed || !flat)
        drawEdge(p, r, pressed, pal);
}

void CIconButton::drawStyledFrame(QPainter& p, bool pressed, bool focusFrame) const {
    QStyle* s = theme ? theme.data() : style();
    if (flat) {
        QStyleOption opt;
        opt.initFrom(this);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        if (pressed)
            opt.state |= QStyle::State_Sunken | QStyle::State_On;
        else if (hover && isEnabled())
            opt.state |= QStyle::State_Raised | QStyle::State_MouseOver | QStyle::State_AutoRaise;
        if (pressed || hover)
            s->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);
        return;
    }
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.state &= ~QStyle::State_MouseOver;
    if (!isEnabled())
        opt.state &= ~QStyle::State_Enabled;
    else if (pressed)
        opt.state |= QStyle::State_Sunken;
    else if (hover)
        opt.state |= QStyle::State_MouseOver | QStyle::State_Raised;
    else
        opt.state |= QStyle::State_Raised;
    if (focusFrame)
        opt.features |= QStyleOptionButton::DefaultButton;
    opt.state &= ~QStyle::State_HasFocus;
    s->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
}

void CIconButton::drawIconAndCaption(QPainter& p, bool pressed, bool styled) const {
    const QString caption = text();
    const QSize iconSize = iconPixelSize();
    const IconButtonLayout layout =
        ComputeIconButtonLayout(size(), iconSize, !caption.isEmpty(), iconAlign);
    const QPoint shift = (pressed && !styled) ? QPoint(1, 1) : QPoint(0, 0);

    if (!icon.isNull()) {
        const QPoint at = layout.iconPos + shift;
        if (isEnabled())
            p.drawPixmap(at, icon.pixmap(iconSize, devicePixelRatioF()));
        else if (!greyIcon.isNull())
            p.drawImage(at, greyIcon);
        else
            p.drawPixmap(at, icon.pixmap(iconSize, devicePixelRatioF(), QIcon::Disabled));
    }
    if (caption.isEmpty())
        return;

    int flags = Qt::TextShowMnemonic | (icon.isNull() ? Qt::AlignHCenter : Qt::AlignLeft);
    if (multiLine)
        flags |= Qt::TextWordWrap;
    const QRect area = layout.captionArea;
    const QRect measured = p.fontMetrics().boundingRect(area, flags, caption);
    QRect block(QPoint(0, 0), measured.size());
    block.moveCenter(area.center());
    block.translate(shift);
    // An access key's underline lays the text out in pieces, a pixel wider than measured: the
    // last letter must not be cut off at the measured edge.
    flags |= Qt::TextDontClip;

    const QPalette& pal = palette();
    if (styled) {
        style()->drawItemText(&p, block, flags, pal, isEnabled(), caption, QPalette::ButtonText);
    } else if (!isEnabled()) {
        // Embossed: the highlight one pixel right and down, the shadow over it.
        p.setPen(pal.light().color());
        p.drawText(block.translated(1, 1), flags, caption);
        p.setPen(pal.dark().color());
        p.drawText(block, flags, caption);
    } else {
        p.setPen(captionColor != -1 ? ColorFromValue(quint32(captionColor))
                                    : pal.buttonText().color());
        p.drawText(block, flags, caption);
    }
}

void CIconButton::paintEvent(QPaintEvent*) {
    if (themeDirty)
        refreshTheme();
    QPainter p(this);
    p.setFont(font());

    const bool styled = UsesVisualStyle() && theme;
    const bool pressed = DrawnPressed();
    const bool focused = hasFocus();
    const bool focusFrame = !flat && (focused || isDefault || QPushButton::isDefault());

    if (styled)
        drawStyledFrame(p, pressed, focusFrame);
    else
        drawClassicFrame(p, pressed, focusFrame);
    drawIconAndCaption(p, pressed, styled);

    if (focused && !flat) {
        QPen pen(palette().buttonText().color());
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}
