#pragma once

#include <QWidget>

namespace orvane {

// The dictionary window.
class frmMdict : public QWidget
{
    Q_OBJECT
public:
    explicit frmMdict(QWidget* parent = nullptr);
};

} // namespace orvane
