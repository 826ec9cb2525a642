#include "mainwindow/FrmMain.h"

#include "platform/DropTarget.h"
#include "platform/TwipsGeometry.h"

#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Size of the window before any stored placement applies (twips).
constexpr int DesignWidth = 12000;
constexpr int DesignHeight = 9000;

} // namespace

FrmMain::FrmMain()
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Until the settings apply lays them out, the design elements stay
    // hidden; PictureAll shows when the start-up is done.
    for (QWidget* element : std::initializer_list<QWidget*>{
             PictureAll,     PicturePage(0), PictureModule(0), PictureLEDs(0),    TextPage(0),    PageButtons(0),
             PictureVU(0),   VUR(0),         VUL(0),           PicCounter(0),     VolSlider(0),   PanSlider(0),
             SpeedSlider(0), ProgBar(0),     PlayButtons(0),   TextFade(0),       TextAir(0),     TextKey(0),
             TextSTBY(0),    TextShell(0),   TextTimer(0),     PictureCurrent(0), CtrlButton(0),  LV(0),
             TolvButton(0),  PictureGrad,    PictureSel(0),    PictureTolv2,      PictureTolv(0), PictureScreen}) {
        element->hide();
    }
    // The second selection picture is part of the design, like the first.
    PictureSel.Load(1);
    BuildMenus();
    WireEvents();
}

void FrmMain::SetDesignSize()
{
    resize(std::max(1, platform::TwipsToPixels(DesignWidth)), std::max(1, platform::TwipsToPixels(DesignHeight)));
}

FrmMain::~FrmMain() = default;

void FrmMain::WireEvents()
{
    OnQueryUnload = [this](int& cancel, int unloadMode) {
        Form_QueryUnload(cancel, sessionEnding_ ? UnloadBySessionEnd : unloadMode);
    };
    OnUnload = [this](int& cancel) { Form_Unload(cancel); };
    OnResize = [this] { Form_Resize(); };
    // The window manager frames the window only once it shows: the size and
    // place worked out before are checked again with the frame it gave.
    OnFrameChange = [this] {
        if (State.Running != 0) {
            FitToLayout(Fit::Grow);
        }
    };

    TimerUpdate.OnTimer = [this] {
        if (Ports.Engine != nullptr) {
            Ports.Engine->TimerUpdate_Timer();
        }
    };
    // Menu items whose work lies in other subsystems; the bar's own commands
    // (Tool, Large/Small, Configuration, Editor, Help) come with the menus.
    MenuFile->Click = [this](int index) {
        if (Ports.AssignFile != nullptr) {
            Ports.AssignFile->MenuFile_Click(index);
        }
    };
    MenuCache->Click = [this](int index) {
        if (Ports.Cache != nullptr) {
            Ports.Cache->MenuCache_Click(index);
        }
    };
    const auto buttonCommand = [this](int offset) {
        return [this, offset](int index) {
            if (Ports.ItemCommands != nullptr) {
                Ports.ItemCommands->RCButtonFCT(index + offset);
            }
        };
    };
    MenuRCButtonFile->Click = buttonCommand(0);
    MenuRCButtonFCT->Click = buttonCommand(2);
    MenuRCButtonMode->Click = buttonCommand(6);
    MenuRCButtonColor->Click = buttonCommand(10);
    MenuRCList->Click = [this](int index) {
        if (Ports.ItemCommands != nullptr) {
            Ports.ItemCommands->RCListFCT(index);
        }
    };
    MenuRCPage->Click = [this](int index) {
        if (Ports.ItemCommands != nullptr) {
            Ports.ItemCommands->MenuRCPage_Click(index);
        }
    };
    QObject::connect(MenuClose, &QAction::triggered, this, [this] { Unload(); });

    WireControlEvents();
    BringToFrontOnDrag();
}

// The events of the window's controls that other subsystems handle, for
// element 0 and every element the settings apply loads.
void FrmMain::WireControlEvents()
{
    OnEveryElement<controls::UC_TolvButton>(TolvButton, [this](controls::UC_TolvButton& button, int index) {
        button.MouseUD = [this, index](int& buttonIndex, bool& isDown, int& buttonType) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TolvButton_MouseUD(index, buttonIndex, isDown, buttonType);
            }
        };
        button.OLEStartDrag = [this, index](platform::DragData& dragged, int& allowedEffects, int& shift) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TolvButton_OLEStartDrag(index, dragged, allowedEffects, shift);
            }
        };
        button.OLECompleteDrag = [this, index](int effect) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TolvButton_OLECompleteDrag(index, effect);
            }
        };
        button.OLEDragOver = [this, index] {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TolvButton_OLEDragOver(index);
            }
        };
        button.OLEDropped = [this, index](platform::DragData& dragged) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TolvButton_OLEDropped(index, dragged);
            }
        };
    });
    OnEveryElement<UC_ListView>(LV, [this](UC_ListView& list, int index) {
        list.RightClicked = [this, index](double& x, double& y) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->LV_RightClicked(index, static_cast<float>(x), static_cast<float>(y));
            }
        };
        list.Clicked = [this, index](double& x, double& y) {
            if (Ports.ListEvents != nullptr) {
                Ports.ListEvents->LV_Clicked(index, x, y);
            }
        };
        list.DblClicked = [this, index] {
            if (Ports.ListEvents != nullptr) {
                Ports.ListEvents->LV_DblClicked(index);
            }
        };
        list.OLEDragDrop = [this, index](platform::DragData& dropped, int& effect, int& button, int& shift, double& x,
                                         double& y) {
            if (Ports.ListEvents != nullptr) {
                Ports.ListEvents->LV_OLEDragDrop(index, dropped, effect, button, shift, x, y);
            }
        };
        list.OLEStartDrag = [this, index](platform::DragData& offered, int& allowedEffects) {
            if (Ports.ListEvents != nullptr) {
                Ports.ListEvents->LV_OLEStartDrag(index, offered, allowedEffects);
            }
        };
        list.OLECompleteDrag = [this, index](int& effect) {
            if (Ports.ListEvents != nullptr) {
                Ports.ListEvents->LV_OLECompleteDrag(index, effect);
            }
        };
    });
    OnEveryElement<controls::UC_Buttons>(PageButtons, [this](controls::UC_Buttons& row, int index) {
        row.ButtonClicked = [this, index](int& clicked) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->PageButtons_ButtonClicked(index, clicked);
            }
        };
        row.RightClicked = [this, index](int& clicked) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->PageButtons_RightClicked(index, clicked);
            }
        };
    });
    OnEveryElement<controls::UC_TextPicture>(TextPage, [this](controls::UC_TextPicture& label, int index) {
        label.MouseUD = [this, index](int& button, bool& isDown, int& panel) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->TextPage_MouseUD(index, button, isDown, panel);
            }
        };
    });
    OnEveryElement<controls::UC_Buttons>(CtrlButton, [this](controls::UC_Buttons& row, int index) {
        row.ButtonClicked = [this, index](int& clicked) {
            if (Ports.ControlEvents != nullptr) {
                Ports.ControlEvents->CtrlButton_ButtonClicked(index, clicked);
            }
        };
    });
    WireStripEvents();
    using LabelHandler = void (StatusLabelsPort::*)(int, int, bool, int);
    const auto label = [this](LabelHandler handler) {
        return [this, handler](controls::UC_TextPicture& text, int index) {
            text.MouseUD = [this, handler, index](int& button, bool& isDown, int& panel) {
                if (Ports.StatusLabels != nullptr) {
                    (Ports.StatusLabels->*handler)(index, button, isDown, panel);
                }
            };
        };
    };
    OnEveryElement<controls::UC_TextPicture>(TextFade, label(&StatusLabelsPort::TextFade_MouseUD));
    OnEveryElement<controls::UC_TextPicture>(TextSTBY, label(&StatusLabelsPort::TextSTBY_MouseUD));
    OnEveryElement<controls::UC_TextPicture>(TextTimer, label(&StatusLabelsPort::TextTimer_MouseUD));
}

// The strip of every player slot: transport row, position bar, sliders,
// fader and counter.
void FrmMain::WireStripEvents()
{
    const auto events = [this]() { return Ports.ControlEvents; };
    OnEveryElement<controls::UC_Buttons>(PlayButtons, [events](controls::UC_Buttons& row, int index) {
        row.ButtonClicked = [events, index](int& clicked) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->PlayButtons_ButtonClicked(index, clicked);
            }
        };
    });
    OnEveryElement<controls::UC_Bar>(ProgBar, [events](controls::UC_Bar& bar, int index) {
        bar.MouseUD = [events, index](bool& isDown) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->ProgBar_MouseUD(index, isDown);
            }
        };
        bar.Scrolled = [events, index] {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->ProgBar_Scrolled(index);
            }
        };
        bar.RightClicked = [events, index](bool& isDown) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->ProgBar_RightClicked(index, isDown);
            }
        };
    });
    OnEveryElement<UC_Slider>(PanSlider, [events](UC_Slider& slider, int index) {
        slider.MouseUD = [events, index](bool isDown, int button) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->PanSlider_MouseUD(index, isDown, button);
            }
        };
        slider.Scrolled = [events, index](int button) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->PanSlider_Scrolled(index, button);
            }
        };
    });
    OnEveryElement<UC_Slider>(SpeedSlider, [events](UC_Slider& slider, int index) {
        slider.MouseUD = [events, index](bool isDown, int button) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->SpeedSlider_MouseUD(index, isDown, button);
            }
        };
        slider.Scrolled = [events, index](int button) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->SpeedSlider_Scrolled(index, button);
            }
        };
    });
    OnEveryElement<UC_Fader>(VolSlider, [events](UC_Fader& fader, int index) {
        fader.LevelChanged = [events, index] {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->VolSlider_LevelChanged(index);
            }
        };
    });
    OnEveryElement<controls::UC_TextPicture>(PicCounter, [events](controls::UC_TextPicture& counter, int index) {
        counter.MouseUD = [events, index](int& button, bool& isDown, int& panel) {
            if (ControlEventsPort* port = events(); port != nullptr) {
                port->PicCounter_MouseUD(index, button, isDown, panel);
            }
        };
    });
}

// Something dragged over the window (from the material browser or the
// desktop) brings the window to the front, so its buttons can take the drop.
void FrmMain::BringToFrontOnDrag()
{
    const auto toFront = [this](platform::DragData&, int& effect, int, int, double, double, int) {
        effect = platform::DropEffectNone;
        if (State.Running == 0) {
            return;
        }
        if (!isActiveWindow()) {
            raise();
            activateWindow();
        }
    };
    windowDrop_ = std::make_unique<platform::DropTarget>(*this);
    windowDrop_->OnDragOver = toFront;
    pictureAllDrop_ = std::make_unique<platform::DropTarget>(*PictureAll);
    pictureAllDrop_->OnDragOver = toFront;
}

void FrmMain::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

void FrmMain::UnloadDynamicControls()
{
    // Contents before their containers.
    for (int i = 3; i >= 1; --i) {
        UnloadControl(LV, i);
        UnloadControl(CtrlButton, i);
        UnloadControl(PictureCurrent, i);
        UnloadControl(PageButtons, i);
        UnloadControl(TextPage, i);
        UnloadControl(PicturePage, i);
        UnloadControl(TextAir, i);
        UnloadControl(TextKey, i);
        UnloadControl(TextFade, i);
        UnloadControl(TextSTBY, i);
        UnloadControl(TextTimer, i);
        UnloadControl(TextShell, i);
        UnloadControl(PictureLEDs, i);
    }
    for (int i = 11; i >= 1; --i) {
        UnloadControl(VUL, i);
        UnloadControl(VUR, i);
        UnloadControl(PictureVU, i);
        UnloadControl(VolSlider, i);
        UnloadControl(SpeedSlider, i);
        UnloadControl(PanSlider, i);
        UnloadControl(PlayButtons, i);
        UnloadControl(ProgBar, i);
        UnloadControl(PicCounter, i);
        UnloadControl(PictureModule, i);
    }
    for (int i = 1; i <= 399; ++i) {
        UnloadControl(TolvButton, i);
    }
}
