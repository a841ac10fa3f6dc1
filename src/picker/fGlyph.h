#pragma once

#include <QWidget>

namespace orvane {

// The character picker "Insert Characters".
class fGlyph : public QWidget
{
    Q_OBJECT
public:
    explicit fGlyph(QWidget* parent = nullptr);
};

} // namespace orvane
