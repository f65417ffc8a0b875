// The one object through which command processors reach every setting and
// device reading. Stateless: each operation forwards to one store or reader.
#ifndef ONU_CONFIG_CONFIG_FACADE_H
#define ONU_CONFIG_CONFIG_FACADE_H

class ConfigFacade {
};

#endif
