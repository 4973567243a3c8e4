#include "graphics/shapetokens.h"

#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qv {

namespace {

struct NamedToken {
    int id;
    const char* name;
};

// Only the blocks the reader takes apart; every other name is skipped where it stands.
constexpr NamedToken kNames[] = {
    {kTokenComment, "comment"},
    {kTokenPoint, "point"},
    {kTokenVector, "vector"},
    {kTokenNormals, "normals"},
    {kTokenPoints, "points"},
    {kTokenUvPoint, "uv_point"},
    {kTokenUvPoints, "uv_points"},
    {kTokenImage, "image"},
    {kTokenImages, "images"},
    {kTokenTexture, "texture"},
    {kTokenTextures, "textures"},
    {kTokenLinearKey, "linear_key"},
    {kTokenTcbKey, "tcb_key"},
    {kTokenLinearPos, "linear_pos"},
    {kTokenTcbPos, "tcb_pos"},
    {kTokenSlerpRot, "slerp_rot"},
    {kTokenTcbRot, "tcb_rot"},
    {kTokenControllers, "controllers"},
    {kTokenAnimNode, "anim_node"},
    {kTokenAnimNodes, "anim_nodes"},
    {kTokenAnimation, "animation"},
    {kTokenAnimations, "animations"},
    {kTokenLodControls, "lod_controls"},
    {kTokenLodControl, "lod_control"},
    {kTokenDistanceLevelHeader, "distance_level_header"},
    {kTokenDlevelSelection, "dlevel_selection"},
    {kTokenDistanceLevels, "distance_levels"},
    {kTokenDistanceLevel, "distance_level"},
    {kTokenSubObjects, "sub_objects"},
    {kTokenSubObject, "sub_object"},
    {kTokenVtxState, "vtx_state"},
    {kTokenVtxStates, "vtx_states"},
    {kTokenVertex, "vertex"},
    {kTokenVertexUvs, "vertex_uvs"},
    {kTokenVertices, "vertices"},
    {kTokenVertexSet, "vertex_set"},
    {kTokenVertexSets, "vertex_sets"},
    {kTokenPrimitives, "primitives"},
    {kTokenPrimState, "prim_state"},
    {kTokenPrimStates, "prim_states"},
    {kTokenPrimStateIdx, "prim_state_idx"},
    {kTokenIndexedTrilist, "indexed_trilist"},
    {kTokenTexIdxs, "tex_idxs"},
    {kTokenVertexIdxs, "vertex_idxs"},
    {kTokenMatrix, "matrix"},
    {kTokenMatrices, "matrices"},
    {kTokenHierarchy, "hierarchy"},
    {kTokenVolumes, "volumes"},
    {kTokenVolSphere, "vol_sphere"},
    {kTokenShape, "shape"},
    {kTokenShaderNames, "shader_names"},
    {kTokenTextureFilterNames, "texture_filter_names"},
    {kTokenNamedFilterMode, "named_filter_mode"},
    {kTokenNamedShader, "named_shader"},
    {kTokenSkip, "skip"},
};

using NameTable = std::unordered_map<std::u16string_view, int>;

// Hashed by name, so that a lookup costs one hash and no allocation; the names live as long as
// the program.
const NameTable& IdsByName() {
    static const std::vector<std::u16string> names = [] {
        std::vector<std::u16string> all;
        for (const NamedToken& token : kNames)
            all.emplace_back(token.name, token.name + std::char_traits<char>::length(token.name));
        return all;
    }();
    static const NameTable ids = [] {
        NameTable table;
        for (std::size_t i = 0; i < names.size(); ++i)
            table.emplace(names[i], kNames[i].id);
        return table;
    }();
    return ids;
}

} // namespace

int ShapeTokenId(QStringView name) {
    // Block names are short ASCII words: fold them into a small buffer rather than a new string.
    char16_t folded[32];
    if (name.size() > qsizetype(std::size(folded)))
        return kTokenUnknown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        folded[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    }
    const NameTable& table = IdsByName();
    const auto found = table.find(std::u16string_view(folded, std::size_t(name.size())));
    return found != table.end() ? found->second : kTokenUnknown;
}

QString ShapeTokenName(int id) {
    for (const NamedToken& token : kNames) {
        if (token.id == id)
            return QString::fromLatin1(token.name);
    }
    return QStringLiteral("block %1").arg(id);
}

} // namespace qv
