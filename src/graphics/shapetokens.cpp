#include "graphics/shapetokens.h"

#include <QString>
#include <string>
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

constexpr std::size_t kLongestName = 32;

char16_t Folded(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// The names grouped by length and first letter, so that a lookup compares a word with the one
// or two names that could be it, and never hashes or allocates.
class NameIndex {
public:
    NameIndex() {
        for (const NamedToken& token : kNames) {
            const std::size_t length = std::char_traits<char>::length(token.name);
            groups_[length][Letter(char16_t(token.name[0]))].push_back(&token);
        }
    }

    int Find(QStringView word) const {
        const std::size_t length = std::size_t(word.size());
        if (length == 0 || length > kLongestName)
            return kTokenUnknown;
        const char16_t first = Folded(word[0].unicode());
        if (first < u'a' || first > u'z')
            return kTokenUnknown;
        for (const NamedToken* token : groups_[length][Letter(first)]) {
            if (SameWithoutCase(word, token->name))
                return token->id;
        }
        return kTokenUnknown;
    }

private:
    static std::size_t Letter(char16_t lower) { return std::size_t(lower - u'a'); }

    static bool SameWithoutCase(QStringView word, const char* name) {
        for (qsizetype i = 1; i < word.size(); ++i) {
            if (Folded(word[i].unicode()) != char16_t(name[i]))
                return false;
        }
        return true;
    }

    std::vector<const NamedToken*> groups_[kLongestName + 1][26];
};

} // namespace

int ShapeTokenId(QStringView name) {
    static const NameIndex index;
    return index.Find(name);
}

QString ShapeTokenName(int id) {
    for (const NamedToken& token : kNames) {
        if (token.id == id)
            return QString::fromLatin1(token.name);
    }
    return QStringLiteral("block %1").arg(id);
}

} // namespace qv
