#pragma once

#include <QColor>
#include <QComboBox>

// A drop-down list of named colours: the standard colours, the system
// colours of the current palette, and "Custom..." to pick any other colour.
// A colour that has no name in the list is shown by its hexadecimal value.
class TColorBox : public QComboBox {
    Q_OBJECT

public:
    explicit TColorBox(QWidget *parent = nullptr);

    QColor Selected() const;
    void SetSelected(const QColor &color);

private:
    void ItemActivated(int index);
    int CustomIndex() const { return count() - 1; }
    void AddColor(const QString &name, const QColor &color, int at);
    QColor Current; // the colour shown, also while "Custom..." is open
};
