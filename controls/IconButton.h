#pragma once

#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QRgb>
#include <QStyle>

// A push button that paints itself and answers the dialog like an ordinary push button:
// default-button handling follows the button type it was attached with.
class COwnerDrawButton : public QPushButton {
    Q_OBJECT
public:
    // Button types (the low four style bits of a template button).
    enum ButtonType {
        PushButton = 0,
        DefPushButton = 1,
        CheckBox = 2,
        AutoCheckBox = 3,
        RadioButton = 4,
        ThreeState = 5,
        AutoThreeState = 6,
        GroupBox = 7,
        UserButton = 8,
        AutoRadioButton = 9,
        OwnerDraw = 11,
        NoType = 15
    };
    // What a control asks of the dialog it lives in.
    enum DialogCode {
        WantArrows = 0x0001,
        WantTab = 0x0002,
        WantAllKeys = 0x0004,
        DefaultPushButton = 0x0010,
        UndefaultPushButton = 0x0020,
        RadioButtonCode = 0x0040,
        WantChars = 0x0080,
        StaticCode = 0x0100,
        ButtonCode = 0x2000
    };

    explicit COwnerDrawButton(QWidget* parent = nullptr);

    // Attaches the button with the template's type: a default push button is default and
    // push-like, a plain push button push-like. Buttons made by the template loader are
    // attached as plain push buttons, or default ones when the template says so.
    void Attach(int type);
    // A style change: push and default-push types record whether the button is now the
    // default. The button stays owner-drawn.
    void SetButtonStyle(int type);
    // The answer to the dialog's question which keys and roles the button wants.
    virtual int DialogCode() const;

    bool pushLike = false;
    bool isDefault = false;
    int buttonType = NoType;
};

// An owner-drawn push button with an icon beside or above its caption, the style's push-button
// look or a classic raised look, a hover look and a grey icon when disabled.
class CIconButton : public COwnerDrawButton {
    Q_OBJECT
public:
    enum IconAlign { IconAbove = 0, IconLeft = 1, IconRight = 2 };

    explicit CIconButton(QWidget* parent = nullptr);
    ~CIconButton() override;

    // Takes the icon, builds its grey copy, stores the alignment and repaints at once.
    void SetIcon(const QIcon& newIcon, int align = IconLeft);
    int DialogCode() const override;

    // The program may turn the style's look off for all buttons (the classic look remains).
    static void SetVisualStylesActive(bool active);
    static bool VisualStylesActive();

    // Whether the next paint uses the style's look, given the current members.
    bool UsesVisualStyle() const;
    // Whether the button is drawn pressed now.
    bool DrawnPressed() const;
    bool pendingDoubleClick() const { return pendingDouble; }
    QSize iconPixelSize() const;
    // The style the last paint used; null until then and after a style change.
    QStyle* themeHandle() const { return theme.data(); }

    bool themeDirty = true;
    bool hover = false;
    bool checked = false;
    bool toggle = false;
    bool mouseDown = false;
    bool useTheme = true;
    bool flat = false;
    QIcon icon;
    QImage greyIcon;
    int iconAlign = IconLeft;
    // Word-wrapped caption (the multi-line button style); single line otherwise.
    bool multiLine = false;
    // Colour values with red in the low byte; -1 takes the palette's button face and text.
    qint64 faceColor = -1;
    qint64 captionColor = -1;

signals:
    // A toggle-mode click flipped `checked`.
    void checkedChanged(bool checked);

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void refreshTheme();
    void drawClassicFrame(QPainter& p, bool pressed, bool focusFrame) const;
    void drawStyledFrame(QPainter& p, bool pressed, bool focusFrame) const;
    void drawIconAndCaption(QPainter& p, bool pressed, bool styled) const;
    void setHover(bool inside);
    void sendMouse(QEvent::Type type);

    QPointer<QStyle> theme;
    bool pendingDouble = false;
};

// The grey copy of one 32-bit pixel (not premultiplied) for the disabled look:
// d = 255 - (r + g + b) / 3; transparent black stays; otherwise the alpha is kept and all
// three channels become 255 - d, with d = 0 taken as 1 (pure white becomes 254).
QRgb GreyIconPixel(QRgb pixel);
// The same for every pixel of `image`; the result is ARGB32, not premultiplied.
QImage GreyIconImage(const QImage& image);
// Where the icon and the caption go inside a button of `button` size.
struct IconButtonLayout {
    QPoint iconPos;    // top-left of the icon
    QRect captionArea; // the caption is centred in here
};
// `align` is a CIconButton::IconAlign; without a caption the icon is centred.
IconButtonLayout ComputeIconButtonLayout(QSize button, QSize icon, bool hasCaption, int align);

// A colour value with red in the low byte.
QColor ColorFromValue(quint32 value);
