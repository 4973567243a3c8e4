// The block names of a shape file and their ids in the binary form (the binary form stores the
// id, the text form the name).
#pragma once

#include <QStringView>

namespace qv {

enum ShapeToken : int {
    kTokenUnknown = 0,
    kTokenComment = 1,
    kTokenPoint = 2,
    kTokenVector = 3,
    kTokenNormals = 5,
    kTokenPoints = 7,
    kTokenUvPoint = 8,
    kTokenUvPoints = 9,
    kTokenImage = 13,
    kTokenImages = 14,
    kTokenTexture = 15,
    kTokenTextures = 16,
    kTokenLinearKey = 19,
    kTokenTcbKey = 20,
    kTokenLinearPos = 21,
    kTokenTcbPos = 22,
    kTokenSlerpRot = 23,
    kTokenTcbRot = 24,
    kTokenControllers = 25,
    kTokenAnimNode = 26,
    kTokenAnimNodes = 27,
    kTokenAnimation = 28,
    kTokenAnimations = 29,
    kTokenLodControls = 31,
    kTokenLodControl = 32,
    kTokenDistanceLevelHeader = 34,
    kTokenDlevelSelection = 35,
    kTokenDistanceLevels = 36,
    kTokenDistanceLevel = 37,
    kTokenSubObjects = 38,
    kTokenSubObject = 39,
    kTokenVtxState = 46,
    kTokenVtxStates = 47,
    kTokenVertex = 48,
    kTokenVertexUvs = 49,
    kTokenVertices = 50,
    kTokenVertexSet = 51,
    kTokenVertexSets = 52,
    kTokenPrimitives = 53,
    kTokenPrimState = 54,
    kTokenPrimStates = 55,
    kTokenPrimStateIdx = 56,
    kTokenIndexedTrilist = 60,
    kTokenTexIdxs = 61,
    kTokenVertexIdxs = 63,
    kTokenMatrix = 65,
    kTokenMatrices = 66,
    kTokenHierarchy = 67,
    kTokenVolumes = 68,
    kTokenVolSphere = 69,
    kTokenShape = 71,
    kTokenShaderNames = 72,
    kTokenTextureFilterNames = 74,
    kTokenNamedFilterMode = 125,
    kTokenNamedShader = 129,
    // Text only: a block that is there to be ignored, like a comment.
    kTokenSkip = 1000,
};

// The id of a block name in the text form, without regard to case; kTokenUnknown for a name
// that the shape reader does not need.
int ShapeTokenId(QStringView name);

// The block name of an id, for messages ("block 4711" for one we do not know).
QString ShapeTokenName(int id);

} // namespace qv
