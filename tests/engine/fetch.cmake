# Page fetch and decode suite.
