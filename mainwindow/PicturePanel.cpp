#include "mainwindow/PicturePanel.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

PicturePanel::PicturePanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicturePanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

void PicturePanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_.Resize(std::max(1, width()), std::max(1, height()));
}
