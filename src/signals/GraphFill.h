#pragma once
// One source's samples as a graph subset, shared by the graph window and the plot command so
// that both draw the same curve.
class PESGraph;
class TSigClass;

// Reads the source from its start into subset `subset` of a graph of `points` points: a sample
// within 1.0 of the source's own null value is a gap, and points past the source's count are
// null, so a shorter curve simply ends.
void FillGraphSubset(PESGraph& graph, int subset, TSigClass& source, int points);
