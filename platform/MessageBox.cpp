#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace platform {

namespace {

MessageBoxAnswer messageBoxAnswer;

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<ButtonChoice> ButtonsOf(int style)
{
    switch (style & 0xF) {
    case BoxOkCancel:
        return {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
    case BoxAbortRetryIgnore:
        return {{QMessageBox::Abort, IdAbort}, {QMessageBox::Retry, IdRetry}, {QMessageBox::Ignore, IdIgnore}};
    case BoxYesNoCancel:
        return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}, {QMessageBox::Cancel, IdCancel}};
    case BoxYesNo:
        return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}};
    case BoxRetryCancel:
        return {{QMessageBox::Retry, IdRetry}, {QMessageBox::Cancel, IdCancel}};
    default:
        return {{QMessageBox::Ok, IdOk}};
    }
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 0x70) {
    case IconStop:
        return QMessageBox::Critical;
    case IconQuestion:
        return QMessageBox::Question;
    case IconExclamation:
        return QMessageBox::Warning;
    case IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The title the box is given. The toolkit names a window without a title
// after the program, so an empty title is given as one blank: the title bar
// then shows nothing.
QString TitleOf(const std::string& title)
{
    return title.empty() ? QStringLiteral(" ") : QString::fromStdString(title);
}

// A box that moves itself once it knows its size.
class PlacedMessageBox final : public QMessageBox {
public:
    explicit PlacedMessageBox(const MessageBoxRequest& request)
        : QMessageBox(IconOf(request.style), TitleOf(request.title), QString::fromStdString(request.text),
                      QMessageBox::NoButton, request.owner),
          place_(request.place)
    {
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (place_) {
            move(place_(frameGeometry().size()));
        }
    }

private:
    std::function<QPoint(QSize)> place_;
};

} // namespace

void SetMessageBoxAnswer(MessageBoxAnswer answer)
{
    messageBoxAnswer = std::move(answer);
}

int ShowMessageBox(const MessageBoxRequest& request)
{
    if (messageBoxAnswer) {
        return messageBoxAnswer(request);
    }
    PlacedMessageBox box(request);
    const std::vector<ButtonChoice> choices = ButtonsOf(request.style);
    std::vector<QPushButton*> buttons;
    for (const ButtonChoice& choice : choices) {
        buttons.push_back(box.addButton(choice.button));
    }
    const std::size_t defaultIndex = static_cast<std::size_t>((request.style >> 8) & 0x3);
    if (defaultIndex < buttons.size()) {
        box.setDefaultButton(buttons[defaultIndex]);
    }
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == clicked) {
            return choices[i].id;
        }
    }
    // Closed without a button (the box counts its escape button as pressed,
    // so this is rare): the most careful answer the box offers.
    for (const int careful : {IdCancel, IdNo, IdAbort}) {
        for (const ButtonChoice& choice : choices) {
            if (choice.id == careful) {
                return careful;
            }
        }
    }
    return choices.front().id;
}

} // namespace platform
