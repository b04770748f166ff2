#include "licence/FccIndexes.h"

#include <QFileInfo>

FccIndexLoader& FccIndexes::forFile(const QString& path)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    auto& loader = m_loaders[key];
    if (!loader)
        loader = std::make_unique<FccIndexLoader>();
    return *loader;
}
