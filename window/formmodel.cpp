// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "formmodel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace forms {

int toPixels(int twips, int dpi)
{
    // Half away from zero, in 64 bits, as MulDiv(twips, dpi, 1440).
    const long long product = (long long)twips * dpi;
    const long long half = twipsPerInch / 2;
    return int(product >= 0 ? (product + half) / twipsPerInch : -((-product + half) / twipsPerInch));
}

Rect toPixels(const Rect &twips, int dpi)
{
    return {toPixels(twips.left, dpi), toPixels(twips.top, dpi), toPixels(twips.width, dpi),
            toPixels(twips.height, dpi)};
}

int placeToPixels(double twips, int dpi)
{
    return int(std::lround(twips * dpi / twipsPerInch));
}

double toTwips(double pixels, double dpi)
{
    return pixels * twipsPerInch / dpi;
}

FormModel::FormModel(const FormDef &def)
    : m_def(def)
{
    for (int i = 0; i < count(); ++i) {
        m_visible.push_back((*this)[i].visible);
        m_backColor.push_back((*this)[i].backColor);
        if (takesFocus(i))
            m_tabOrder.push_back(i);
    }
    const auto byTabIndex = [this](int a, int b) { return (*this)[a].tabIndex < (*this)[b].tabIndex; };
    std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(), byTabIndex);

    std::vector<int> byTab;
    for (int i = 0; i < count(); ++i)
        byTab.push_back(i);
    std::stable_sort(byTab.begin(), byTab.end(), byTabIndex);
    std::vector<int> labelled(std::size_t(count()), -1); // a label's box
    for (int i = 0; i < count(); ++i) {
        if (const int label = labelOf(i); label >= 0 && labelled[std::size_t(label)] < 0)
            labelled[std::size_t(label)] = i;
    }
    for (const bool frames : {false, true}) {
        for (const int i : byTab) {
            const Kind kind = (*this)[i].kind;
            if ((kind == Kind::Frame) != frames || (kind == Kind::Label && labelled[std::size_t(i)] >= 0))
                continue;
            for (int label = 0; label < count(); ++label) {
                if (labelled[std::size_t(label)] == i)
                    m_zOrder.push_back(label);
            }
            m_zOrder.push_back(i);
        }
    }

    m_group.assign(std::size_t(count()), -1);
    int previous = -1;
    for (const int i : m_zOrder) {
        if ((*this)[i].kind == Kind::OptionButton) {
            const bool joins = previous >= 0 && (*this)[previous].kind == Kind::OptionButton
                && containerOf(previous) == containerOf(i);
            m_group[std::size_t(i)] = joins ? m_group[std::size_t(previous)] : i;
        }
        previous = i;
    }
}

int FormModel::indexOf(std::string_view name) const
{
    for (int i = 0; i < count(); ++i) {
        if ((*this)[i].name == name)
            return i;
    }
    return -1;
}

int FormModel::nextTabStop(int from, bool backwards) const
{
    const int n = int(m_tabOrder.size());
    const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), from);
    // From the form itself, one step lands on the first stop (or the last).
    const int start = at != m_tabOrder.end() ? int(at - m_tabOrder.begin()) : (backwards ? 0 : n - 1);
    for (int step = 1; step <= n; ++step) {
        const int k = ((start + (backwards ? -step : step)) % n + n) % n;
        if (shows(m_tabOrder[std::size_t(k)]))
            return m_tabOrder[std::size_t(k)];
    }
    return -1;
}

std::size_t FormModel::admits(int textBox, std::u16string_view added, std::size_t kept) const
{
    const int limit = (*this)[textBox].maxLength;
    const std::size_t room = limit <= 0 ? added.size() : std::size_t(limit) - std::min(kept, std::size_t(limit));
    if (added.size() <= room)
        return added.size();
    const bool splitsPair = room > 0 && added[room - 1] >= 0xD800 && added[room - 1] < 0xDC00;
    return splitsPair ? room - 1 : room;
}

bool FormModel::shows(int control) const
{
    for (int c = control; c != onForm; c = containerOf(c)) {
        if (!visible(c))
            return false;
    }
    return true;
}

ColourPair FormModel::colours(int control, const PlatformColours &platform) const
{
    return colourRule(platform,
                      {(*this)[control].kind, backColor(control), (*this)[control].foreColor, &fontOf(control)},
                      m_def.highlight);
}

Rect FormModel::rectOnForm(int control) const
{
    Rect r = rectInContainer(control);
    for (int c = containerOf(control); c != onForm; c = containerOf(c)) {
        r.left += (*this)[c].twips.left;
        r.top += (*this)[c].twips.top;
    }
    return r;
}

const Font &FormModel::fontOf(int control) const
{
    for (int c = control; c != onForm; c = containerOf(c)) {
        if (!(*this)[c].font.face.empty())
            return (*this)[c].font;
    }
    return m_def.font;
}

int FormModel::pixelHeight(const Font &font, int dpi)
{
    return int(std::lround(font.points * dpi / 72));
}

int FormModel::labelOf(int textBox) const
{
    const ControlDef &box = (*this)[textBox];
    if (box.kind != Kind::TextBox)
        return -1;
    const int middle = box.twips.top + box.twips.height / 2;
    const auto distance = [&](int label) {
        const Rect &r = (*this)[label].twips;
        return std::abs(r.top + r.height / 2 - middle);
    };
    int best = -1;
    for (int i = 0; i < count(); ++i) {
        const ControlDef &label = (*this)[i];
        if (label.kind != Kind::Label || label.container != box.container
            || label.twips.top > box.twips.top + box.twips.height)
            continue;
        if (best < 0 || distance(i) < distance(best))
            best = i;
    }
    return best;
}

std::u16string_view FormModel::accessibleName(int control) const
{
    if ((*this)[control].kind == Kind::TextBox) {
        const int label = labelOf(control);
        return label < 0 ? std::u16string_view() : (*this)[label].text;
    }
    return (*this)[control].text;
}

} // namespace forms
