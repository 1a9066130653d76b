#include "netware/sim/SimModel.h"

namespace nw::sim {

int Tree::addContainer(QString containerName, QString objectClass, int parent)
{
    const int index = static_cast<int>(containers.size());
    m_containerIndex.insert({parent, nameKey(containerName)}, index);
    containers.push_back(Container{std::move(containerName), std::move(objectClass), parent, {}});
    if (parent < 0)
        topContainers.push_back(index);
    else
        containers[static_cast<size_t>(parent)].children.push_back(index);
    return index;
}

int Tree::findChild(int parent, QStringView childName) const
{
    QString key = childName.toString();
    return m_containerIndex.value({parent, std::move(key).toCaseFolded()}, -1);
}

int Tree::findContainer(QStringView dotted) const
{
    if (dotted.isEmpty())
        return -1;
    // From the root down: the last component is the top container.
    int index = -1;
    qsizetype end = dotted.size();
    while (end >= 0) {
        const qsizetype dot = end == 0 ? -1 : dotted.lastIndexOf(u'.', end - 1);
        index = findChild(index, dotted.sliced(dot + 1, end - dot - 1));
        if (index < 0)
            return -1;
        if (dot < 0)
            break;
        end = dot;
    }
    return index;
}

QString Tree::containerName(int index) const
{
    QString dotted;
    for (int at = index; at >= 0; at = containers[static_cast<size_t>(at)].parent) {
        if (!dotted.isEmpty())
            dotted += u'.';
        dotted += containers[static_cast<size_t>(at)].name;
    }
    return dotted;
}

}  // namespace nw::sim
