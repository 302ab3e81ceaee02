#pragma once

class PESGraph;
class QIODevice;

// The graph's values as comma-separated text: a header "Point,<label> X,<label> Y,..." and one
// line per point, missing samples as empty fields, numbers in their shortest exact form.
// False when the device refuses a write.
bool WriteGraphCsv(const PESGraph& graph, QIODevice& out);
