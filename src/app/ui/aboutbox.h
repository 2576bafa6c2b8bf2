#pragma once

#include "device/devicestatus.h"

#include <QDialog>

namespace orlu {

// "关于版本数据": the product lines and what the probe says about itself.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(const AboutDeviceLines &device, QWidget *parent = nullptr);

signals:
    void linkClicked();
};

} // namespace orlu
